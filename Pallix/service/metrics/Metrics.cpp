#include "Metrics.h"

#include <charconv>
#include <string_view>

namespace {

struct Label {
    std::string_view name;
    std::string value;
};

std::string escaped(std::string_view text, bool quotesToo)
{
    std::string out;
    for (const char c : text) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '"' && quotesToo)
            out += "\\\"";
        else
            out += c;
    }
    return out;
}

std::string number(double value)
{
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

// The text of one scrape, family by family.
class Exposition {
public:
    void family(std::string_view name, std::string_view type, std::string_view help)
    {
        text_ += "# HELP " + std::string(name) + ' ' + escaped(help, false) + '\n';
        text_ += "# TYPE " + std::string(name) + ' ' + std::string(type) + '\n';
    }

    void sample(std::string_view name, const std::vector<Label> &labels, const std::string &value)
    {
        text_ += name;
        if (!labels.empty()) {
            text_ += '{';
            for (std::size_t i = 0; i < labels.size(); ++i)
                text_ += (i ? "," : "") + std::string(labels[i].name) + "=\""
                         + escaped(labels[i].value, true) + '"';
            text_ += '}';
        }
        text_ += ' ' + value + '\n';
    }

    void single(std::string_view name, std::string_view type, std::string_view help,
                const std::string &value)
    {
        family(name, type, help);
        sample(name, {}, value);
    }

    // One gauge per index from 1, labelled with its kind ("input", "output").
    void indexed(std::string_view name, std::string_view kind, std::string_view help,
                 const std::vector<bool> &states)
    {
        family(name, "gauge", help);
        for (std::size_t i = 0; i < states.size(); ++i)
            sample(name, {{kind, std::to_string(i + 1)}}, states[i] ? "1" : "0");
    }

    void histogram(std::string_view name, std::string_view help, const PollHistogram &h)
    {
        family(name, "histogram", help);
        const std::string base(name);
        for (std::size_t i = 0; i < PollHistogram::Bounds.size(); ++i)
            sample(base + "_bucket", {{"le", number(PollHistogram::Bounds[i])}},
                   std::to_string(h.countUpTo(i)));
        sample(base + "_bucket", {{"le", "+Inf"}}, std::to_string(h.count()));
        sample(base + "_sum", {}, number(h.sumSeconds()));
        sample(base + "_count", {}, std::to_string(h.count()));
    }

    std::string text() && { return std::move(text_); }

private:
    std::string text_;
};

}   // namespace

std::string renderMetrics(const MetricsSnapshot &s)
{
    Exposition out;
    out.single("pallix_device_up", "gauge",
               "Whether the Pallix answered its last poll (1) or not (0).",
               s.deviceAnswers ? "1" : "0");
    if (!s.address.empty()) {
        out.family("pallix_device_info", "gauge",
                   "The watched Pallix: its address, MAC address and firmware.");
        out.sample("pallix_device_info",
                   {{"address", s.address}, {"mac", s.macAddress}, {"firmware", s.firmware}}, "1");
    }
    out.indexed("pallix_input_active", "input", "Whether the Pallix's input is active.", s.inputs);
    out.indexed("pallix_output_active", "output", "Whether the Pallix's output is on.", s.outputs);
    if (s.globalStatus)
        out.single("pallix_global_status", "gauge",
                   "The Pallix's global status register as last read.",
                   std::to_string(*s.globalStatus));
    out.single("pallix_power_requests_total", "counter",
               "Power actions the Pallix asked this PC for.", std::to_string(s.powerRequests));
    out.single("pallix_power_losses_total", "counter", "Power losses the Pallix reported.",
               std::to_string(s.powerLosses));
    out.single("pallix_failed_polls_total", "counter", "Polls of the Pallix that got no answer.",
               std::to_string(s.failedPolls));
    out.family("pallix_power_actions_total", "counter",
               "Power actions this PC carried out, by action.");
    for (const auto &[action, count] : s.powerActions)
        out.sample("pallix_power_actions_total", {{"action", action}}, std::to_string(count));
    out.single("pallix_countdown_seconds_left", "gauge",
               "Seconds left before the power action runs; 0 while no countdown runs.",
               std::to_string(s.countdownSecondsLeft));
    out.histogram("pallix_poll_round_trip_seconds", "Round-trip times of the Pallix's polls.",
                  s.pollRoundTrips);
    return std::move(out).text();
}

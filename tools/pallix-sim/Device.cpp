#include "Device.h"

#include <cstdio>

namespace pallixsim {
namespace {

std::array<uint8_t, Flash::kVersionLength> versionBytes(const std::string &firmware) {
    std::array<uint8_t, Flash::kVersionLength> bytes;
    bytes.fill(' ');
    for (size_t i = 0; i < bytes.size() && i < firmware.size(); ++i) bytes[i] = static_cast<uint8_t>(firmware[i]);
    return bytes;
}

std::string hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%05X", static_cast<unsigned>(value));
    return text;
}

std::string refusalSuffix(ReplyCode code) {
    return code == ReplyCode::Ok ? std::string() : std::string(" refused: ") + describe(code);
}

bool isRegisterRequest(const Frame &frame) {
    const auto opcode = static_cast<Opcode>(frame.opcode);
    return opcode == Opcode::ReadMemory || opcode == Opcode::WriteMemory;
}

}  // namespace

Device::Device(std::string address, Mac mac, std::string firmware, Clock::duration restartTime)
    : address_(std::move(address)),
      mac_(mac),
      firmware_(std::move(firmware)),
      restartTime_(restartTime),
      flash_(mac_, versionBytes(firmware_)) {}

std::string Device::macText() const {
    std::string text;
    for (uint8_t b : mac_) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02X", b);
        if (!text.empty()) text += '-';
        text += pair;
    }
    return text;
}

std::string Device::discoveryReply() const {
    return "NERRIN:PALLIX:" + address_ + ":MAC:" + macText() + ":FW:" + firmware();
}

// Why the device stays silent to a well-formed request or probe (frame null),
// or nothing when it answers. A device in program mode answers probes only
// once the flash copy has restarted it.
std::optional<std::string> Device::ignored(const Frame *frame, Clock::time_point now) {
    if (link_.silent(now)) return "request ignored while silent";
    if (link_.dropNext()) return "request dropped";
    if (!frame && flash_.programMode() && !flash_.copiedThisSession() && !recovery_)
        return "probe ignored in program mode";
    if (frame && recovery_ && isRegisterRequest(*frame)) return "register request ignored in recovery";
    return std::nullopt;
}

Device::Answer Device::receive(std::span<const uint8_t> datagram, Clock::time_point now) {
    Request request;
    request.bytes.assign(datagram.begin(), datagram.end());
    request.opcode = datagram.size() > 1 ? datagram[1] : 0;

    std::string why;
    std::optional<Frame> frame;
    const bool probe = isProbe(datagram);
    if (!probe) frame = parseFrame(datagram, why);
    if (frame) {
        const RequestFields fields = fieldsOf(*frame);
        request.address = fields.address;
        request.value = fields.value;
    }

    Answer answer;
    if (!probe && !frame) {
        answer.summary = "malformed request ignored: " + why;
    } else if (const auto reason = ignored(frame ? &*frame : nullptr, now)) {
        answer.summary = *reason;
    } else {
        Outcome outcome;
        if (probe) {
            const std::string text = discoveryReply();
            outcome = {{text.begin(), text.end()}, "discovery probe answered"};
        } else {
            outcome = carryOut(*frame, now);
            request.code = outcome.reply[4];
        }
        request.answered = true;
        link_.shape(outcome.reply);
        answer.reply = std::move(outcome.reply);
        answer.delay = link_.delay();
        answer.summary = std::move(outcome.summary);
        if (powerRequestAfter_ && --*powerRequestAfter_ <= 0) {
            registers_.requestPowerAction();
            powerRequestAfter_.reset();
        }
    }
    log_.add(std::move(request));
    return answer;
}

Device::Outcome Device::carryOut(const Frame &frame, Clock::time_point now) {
    switch (static_cast<Opcode>(frame.opcode)) {
    case Opcode::ReadMemory: return readMemory(frame);
    case Opcode::WriteMemory: return writeMemory(frame);
    case Opcode::ProgramControl: return programControl(frame, now);
    case Opcode::WriteFlashBlock: return writeFlashBlock(frame);
    }
    return {buildReply(frame.opcode, ReplyCode::Unsupported), "unknown opcode " + std::to_string(frame.opcode)};
}

Device::Outcome Device::readMemory(const Frame &frame) {
    const int reg = fieldsOf(frame).address;
    const int count = frame.payload[3];
    const std::string summary = "read " + std::to_string(reg);
    if (count < 1 || !RegisterBank::valid(reg) || !RegisterBank::valid(reg + count - 1)) {
        const uint8_t zero = 0;
        return {buildReply(frame.opcode, ReplyCode::BadAddress, std::span(&zero, 1)),
                summary + refusalSuffix(ReplyCode::BadAddress)};
    }
    std::vector<uint8_t> values;
    for (int i = 0; i < count; ++i) values.push_back(registers_.read(reg + i));
    return {buildReply(frame.opcode, ReplyCode::Ok, values), summary + " -> " + std::to_string(values.front())};
}

Device::Outcome Device::writeMemory(const Frame &frame) {
    const RequestFields fields = fieldsOf(frame);
    const int reg = fields.address;
    // Two data bytes fill two registers, most significant first.
    const auto data = std::span(frame.payload).subspan(2);
    const int last = reg + static_cast<int>(data.size()) - 1;
    ReplyCode code = ReplyCode::Ok;
    if (!RegisterBank::valid(reg) || !RegisterBank::valid(last)) {
        code = ReplyCode::BadAddress;
    } else if (reg <= kInState && last >= kInState) {
        code = ReplyCode::ReadOnly;
    } else {
        for (size_t i = 0; i < data.size(); ++i) registers_.write(reg + static_cast<int>(i), data[i]);
    }
    return {buildReply(frame.opcode, code),
            "write " + std::to_string(reg) + " = " + std::to_string(fields.value) + refusalSuffix(code)};
}

Device::Outcome Device::programControl(const Frame &frame, Clock::time_point now) {
    const uint8_t command = frame.payload[1];
    const uint32_t argument = bigEndian(std::span(frame.payload).subspan(2, 4));
    ReplyCode code = ReplyCode::Ok;
    std::string summary;
    switch (static_cast<Control>(command)) {
    case Control::Enter:
        code = flash_.enterProgramMode();
        summary = "enter program mode";
        break;
    case Control::Leave:
        summary = "leave program mode";
        switch (flash_.leaveProgramMode()) {
        case Flash::Leave::NewImage:
            adoptFlashedIdentity();
            recovery_ = false;
            summary += ", now running firmware " + firmware_;
            break;
        case Flash::Leave::Broken:
            recovery_ = true;
            summary += ", no complete firmware: in recovery";
            break;
        case Flash::Leave::OldImage:
            break;
        }
        break;
    case Control::Erase:
        code = countRefusal(flash_.erase(argument));
        summary = "erase " + hex(argument);
        break;
    case Control::Copy:
        code = countRefusal(flash_.copy());
        summary = "flash copy";
        if (code == ReplyCode::Ok) {
            link_.restart(restartTime_, now);
            summary += ", restarting";
        } else if (code == ReplyCode::ImageIncomplete) {
            recovery_ = true;  // the boot code gave up on the staged image
        }
        break;
    default:
        code = countRefusal(ReplyCode::Unsupported);
        summary = "program control " + std::to_string(command);
        break;
    }
    return {buildReply(frame.opcode, code), summary + refusalSuffix(code)};
}

Device::Outcome Device::writeFlashBlock(const Frame &frame) {
    const uint32_t address = bigEndian(std::span(frame.payload).first(4));
    const ReplyCode code = countRefusal(flash_.write(address, std::span(frame.payload).subspan(4)));
    return {buildReply(frame.opcode, code), "write flash " + hex(address) + refusalSuffix(code)};
}

ReplyCode Device::countRefusal(ReplyCode code) {
    if (code != ReplyCode::Ok) ++flashRefusals_;
    return code;
}

// After a complete update the device runs the new image, whose identity
// record names its MAC and version.
void Device::adoptFlashedIdentity() {
    const auto mac = flash_.read(Flash::kMacRecord, mac_.size());
    std::copy(mac.begin(), mac.end(), mac_.begin());
    const auto version = flash_.read(Flash::kVersionAt, Flash::kVersionLength);
    firmware_.assign(version.begin(), version.end());
}

}  // namespace pallixsim

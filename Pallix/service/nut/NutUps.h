// The one UPS that pallixd's NUT server offers, and what a request sees of
// it. UPS and variable names match whatever their case (as NUT's own
// server matches them); replies echo them as the client wrote them, for
// the clients that compare a reply with their request byte for byte.
#pragma once

#include <string>
#include <vector>

struct NutVariable {
    std::string name;   // "ups.status"
    std::string value;
    std::string description = "Description unavailable";   // GET DESC
    std::string type = "STRING:64";                        // GET TYPE, or "NUMBER"
};

// The UPS as the service sees it at a moment.
struct NutUps {
    std::string description;              // empty: "Unavailable"
    bool stale = false;                   // the device does not answer
    std::vector<NutVariable> variables;   // in the order LIST VAR gives them
};

// From the configuration.
struct NutSettings {
    std::string upsName = "pallix";
    std::string user;   // empty: nobody may LOGIN
    std::string password;
    std::string version = "pallixd";   // VER's line
};

// What one request sees besides its own session.
struct NutView {
    const NutSettings &settings;
    const NutUps &ups;
    const std::vector<std::string> &clients;   // addresses of the logged-in clients
    // The primary shuts down: ups.status reads "FSD " and the real status,
    // answered to GET VAR even while the data is stale.
    bool forcedShutdown = false;
};

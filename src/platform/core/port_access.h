#pragma once

#include <QString>

// What the system says about this user's access to serial ports, for the hints that tell
// a refused port or a vanishing adapter apart.
struct PortAccess {
    enum class Dialout {
        InThisLogin, // the ports' group counts for this program
        FromNextLogin, // joined after logging in: counts from the next login
        NotMember,
    };
    Dialout dialout = Dialout::InThisLogin;
    QString user;
    bool brltty = false; // the braille display service, which claims some USB serial adapters
};

PortAccess systemPortAccess();

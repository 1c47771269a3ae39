#pragma once

#include <QString>

namespace kelo {

// The global values of one run. Written only where the run's start-up, the
// main window and the work screens say; read by any screen.
struct GlobalValues {
    QString appDir;    // directory of the executable, ending in a separator
    QString clientIP;  // GetClientIP at start-up; the AU_IP of every write
    QString empNo;     // launch argument 3; the AU_EMP_NO of every write
    QString empName;   // launch argument 4
    QString siteName;  // the site caption of the main window
    QString projectId; // the project of the permission menu (KELO_S)
    QString placeCode, placeName;
    QString teamCode, teamName;
    QString outletCode, outletName;
    QString cardNo; // the characters last read from the card reader
};

GlobalValues &Globals();

} // namespace kelo

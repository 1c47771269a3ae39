#pragma once

#include <QDateTime>

namespace kelo {

// The local date and time that TodayYmd and the database's SYSDATE() read.
// KELO_NOW=yyyyMMddHHmmss in the environment fixes it (demo runs, and every test:
// the test executables set it when they start).
QDateTime Now();

} // namespace kelo

#include "tools/targets.h"

#include "shell/password.h"

namespace kelo::tools {

QStringList TargetParams(const QString &target) {
    return shell::AliasConnectionParams(target.trimmed());
}

} // namespace kelo::tools

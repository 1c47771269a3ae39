#pragma once

// Binding the parameter string of a viewer screen to a definition's parameters:
//   positional  "/rp [v1] [v2] ..."                the i-th value to the parameter of position i
//   named       "/rv  NAME[v]NAME[v] /reditmode"   each value to the parameter of that name
// Values are verbatim ("[" and "]" inside kept); an empty value and a parameter the string
// does not give are NULL (an empty text).

#include "viewer/definition_parser.h"

#include <QHash>
#include <QString>
#include <vector>

namespace kelo::viewer {

struct BoundParams {
    QHash<QString, QString> values; // by declared name; every declared parameter present
    QString error;                  // empty when bound
    bool ok() const { return error.isEmpty(); }
};

// fixed: the values a variant fixes, over what the string gives for those names.
BoundParams BindParams(const QString &params, const std::vector<ParameterDecl> &declared,
                       const QHash<QString, QString> &fixed = {});

} // namespace kelo::viewer

#pragma once

// Binding the parameter string of a viewer screen to a definition's parameters:
//   positional  "/rp [v1] [v2] ..."                the i-th value to the parameter of position i
//   named       "/rv  NAME[v]NAME[v] /reditmode"   each value to the parameter of that name
// Values are verbatim ("[" and "]" inside kept); an empty value and a parameter the string
// does not give are NULL (an empty text).

#include "viewer/definition_parser.h"

#include <QDate>
#include <QHash>
#include <QString>
#include <vector>

namespace kelo::viewer {

struct BoundParams {
    QHash<QString, QString> values; // by declared name; every declared parameter present
    QString error;                  // empty when bound
    bool ok() const { return error.isEmpty(); }
};

// Why value is not a value of the parameter's type; empty when it is (an empty value is NULL
// and always is).
QString ParameterTypeError(const ParameterDecl &parameter, const QString &value);

// The value a parameter's prompt starts with: its default, where the default may be one of
// these words, resolved on the day given: date: today, yesterday, monthstart (the 1st of
// today's month), yearstart (1 January); month: thismonth, lastmonth. Empty without a
// default; a null string when the default is neither a word nor a value of the type.
QString ResolveDefault(const ParameterDecl &parameter, const QDate &today);
// The value a prompt shows first when nothing was answered before: the resolved default, and
// for a date or month without one today's (a date or month field always shows one).
QString StartingValue(const ParameterDecl &parameter, const QDate &today);
// The words a default of the type may be, for messages ("today, yesterday, ...").
QString DefaultWords(ParamType type);

// fixed: the values a variant fixes, over what the string gives for those names.
BoundParams BindParams(const QString &params, const std::vector<ParameterDecl> &declared,
                       const QHash<QString, QString> &fixed = {});

} // namespace kelo::viewer

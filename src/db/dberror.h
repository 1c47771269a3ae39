#pragma once

#include <QString>
#include <stdexcept>

namespace kelo::db {

// Every failure of the database layer: the text is the engine's own message
// (or, for failures found before the engine is reached, a plain statement of
// what is wrong). Callers show their own words followed by this text.
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString &message() const noexcept { return m_message; }

private:
    QString m_message;
};

} // namespace kelo::db

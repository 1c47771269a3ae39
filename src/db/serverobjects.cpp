#include "db/serverobjects.h"

namespace kelo::db {

QString ProcCall::input(const QString &name) const {
    const auto it = m_inputs.find(name.toUpper());
    return it == m_inputs.end() ? QString() : it->second;
}

void ProcCall::setInput(const QString &name, const QString &value) {
    m_inputs[name.toUpper()] = value;
}

void ProcCall::setOutput(const QString &name, const QString &value) {
    m_outputs[name.toUpper()] = value;
}

QString ProcCall::output(const QString &name) const {
    const auto it = m_outputs.find(name.toUpper());
    return it == m_outputs.end() ? QString() : it->second;
}

ServerObjects &ServerObjects::standard() {
    static ServerObjects objects;
    return objects;
}

void ServerObjects::addProcedure(ProcedureDef def) {
    const QString key = def.name.toUpper();
    m_procedures[key] = std::move(def);
}

const ProcedureDef *ServerObjects::procedure(const QString &name) const {
    const auto it = m_procedures.find(name.trimmed().toUpper());
    return it == m_procedures.end() ? nullptr : &it->second;
}

void ServerObjects::addFunctions(const QString &name, FunctionInstaller installer) {
    for (auto &entry : m_functions)
        if (entry.first == name) {
            entry.second = std::move(installer);
            return;
        }
    m_functions.emplace_back(name, std::move(installer));
}

void ServerObjects::installFunctions(Connection &connection) const {
    for (const auto &entry : m_functions)
        entry.second(connection);
}

} // namespace kelo::db

#include "shell/registry.h"

namespace kelo::shell {

const QStringList &ProgramRegistry::ProgramIds() {
    static const QStringList ids = {
        // hubs
        "SAS000",
        "SQS000",
        // inquiries with Excel export
        "SBS020",
        "SBS040",
        "SBS050",
        "SBS310",
        "SBS330",
        "SBS340",
        "SBS341",
        "SBS350",
        "SBS360",
        "SBS370",
        "SPS010",
        "SPS050",
        "SRS330",
        "SRS340",
        // the report output program
        "SRS010",
        // daily management input
        "SRI010",
        "SRI020",
        "SRI030",
        "SRI040",
        "SRI050",
        // editable grids
        "SRI210",
        "SRS160",
        "SRS184",
        // target inquiries and input
        "STS010",
        "STS020",
        "STS030",
        "STS040",
        "STS050",
        "STS060",
        "STS070",
        "STS080",
        "STS090",
        "STI010",
        "STI020",
        // report viewer screens with a data build
        "SRI200",
        "SRS410",
        "SRS440",
        // the report catalogue
        "SRS900",
        // report viewer screens
        "SBS010",
        "SBS030",
        "SBS060",
        "SBS070",
        "SBS110",
        "SBS120",
        "SBS130",
        "SBS140",
        "SBS210",
        "SBS320",
        "SQR050",
        "SRI060",
        "SRI070",
        "SRI080",
        "SRI090",
        "SRI100",
        "SRI120",
        "SRI130",
        "SRI140",
        "SRS150",
        "SRS151",
        "SRS170",
        "SRS180",
        "SRS181",
        "SRS182",
        "SRS183",
        "SRS185",
        "SRS186",
        "SRS187",
        "SRS320",
        "SRS420",
        "SRS430",
        "SRS450",
        "SRS460",
        "STP010",
    };
    return ids;
}

ProgramRegistry &ProgramRegistry::standard() {
    static ProgramRegistry registry;
    return registry;
}

void ProgramRegistry::add(const QString &programId, Factory factory) {
    m_factories[programId] = std::move(factory);
}

bool ProgramRegistry::isRegistered(const QString &programId) const {
    const auto it = m_factories.find(programId);
    return it != m_factories.end() && it->second;
}

QWidget *ProgramRegistry::create(const QString &programId, db::Connection &connection) const {
    const auto it = m_factories.find(programId);
    if (it == m_factories.end() || !it->second)
        return nullptr;
    return it->second(connection);
}

} // namespace kelo::shell

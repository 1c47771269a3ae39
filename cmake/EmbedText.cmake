# Writes OUT: a C++ file defining NAMESPACE::FUNCTION(), which returns the text of FILE.
# Usage: cmake -DFILE=... -DOUT=... -DNAMESPACE=kelo::db -DFUNCTION=Name -P EmbedText.cmake
file(READ ${FILE} text)
get_filename_component(name ${FILE} NAME)
file(WRITE ${OUT} "// Generated from ${name}; do not edit.\n#include <QString>\nnamespace ${NAMESPACE} {\nconst QString &${FUNCTION}() {\n    static const QString text = QString::fromUtf8(R\"KELOTEXT(${text})KELOTEXT\");\n    return text;\n}\n} // namespace ${NAMESPACE}\n")

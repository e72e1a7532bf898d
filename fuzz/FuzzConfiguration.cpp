// The configuration file reader on arbitrary bytes: it either gives a
// configuration or a ConfigurationError with a Japanese message; nothing
// else may escape, and what it reads must survive being written back.
#include "session/Routines.h"
#include "core/Text.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString fileName = QStringLiteral("HMWcfg.dat");
    Configuration config;
    try {
        config = parseConfiguration(bytes, fileName);
    } catch (const ConfigurationError& e) {
        if (e.message().isEmpty())
            std::abort();
        return 0;
    }
    // A configuration read from a file must be writable and read back the
    // same: the slip counter is rewritten after every slip.
    QByteArray written;
    try {
        written = configurationBytes(config, fileName);
    } catch (const ConfigurationError&) {
        return 0; // a value Shift_JIS cannot hold (read from a UTF-8 file)
    }
    // Look-alike characters of a UTF-8 file (¥, 〜) are written in their
    // Shift_JIS forms (￥, ～) by design; everything else reads back as is.
    const Configuration again = parseConfiguration(written, fileName);
    for (int i = 0; i < Configuration::ValueCount; ++i)
        if (again.values[i] != text::shiftJisForms(config.values[i]))
            std::abort();
    if (again.slipPrefix != config.slipPrefix || again.slipCounter != config.slipCounter
        || again.adminCode != config.adminCode)
        std::abort();
    return 0;
}

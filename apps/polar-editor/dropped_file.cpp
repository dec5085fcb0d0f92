#include "apps/polar-editor/dropped_file.h"

#include <QFile>
#include <QFileInfo>

#include "exchange/format_table.h"
#include "logs/log_reader.h"

DroppedFileKind ClassifyDroppedFile(const QString& strPath) {
    if (strPath.endsWith(".ppd", Qt::CaseInsensitive)) {
        return DroppedFileKind::DataFile;
    }
    // Only a regular file is read to tell: a FIFO or a device could keep the window waiting.
    QFile file(strPath);
    if (!QFileInfo(strPath).isFile() || !file.open(QIODevice::ReadOnly)) {
        return DroppedFileKind::Unknown;
    }
    // The beginning tells: the formats are recognised by their first lines, and a log holds
    // readings from its first lines on.
    const QByteArray head = file.read(64 * 1024);
    const std::string_view text(head.constData(), static_cast<std::size_t>(head.size()));
    // By the content alone: a name ending in .txt or .csv says nothing here, as logs end so too.
    for (const ExchangeFormat& format : ExchangeFormats()) {
        if (format.looksLike(text)) {
            return DroppedFileKind::PolarFormat;
        }
    }
    if (head.startsWith("\x1f\x8b")) {
        return DroppedFileKind::Log;  // gzip: logs are what is compressed
    }
    LogCounts counts;
    std::uint64_t nSamples = 0;
    ReadLogText(text, counts, [&nSamples](const LogSample&) { ++nSamples; });
    return nSamples > 0 || !counts.sentences.empty() ? DroppedFileKind::Log
                                                     : DroppedFileKind::Unknown;
}

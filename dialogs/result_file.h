#pragma once

#include "core/errors/outcome.h"

#include <QByteArray>
#include <QString>

namespace tavilon {

// Writes the result file: the output text with CR LF line ends, then one
// more CR LF, in UTF-8 without a byte-order mark. `path` is in the file
// system's own bytes. An existing file keeps its links, owner, group and
// permissions; a failure leaves it as it was, or says what it left.
Outcome<void> writeResultFile(const QByteArray& path, const QString& outputText);
// The same for a path that can be said as text.
Outcome<void> writeResultFile(const QString& path, const QString& outputText);

} // namespace tavilon

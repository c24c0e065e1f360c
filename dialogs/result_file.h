#pragma once

#include <QString>

namespace tavilon {

// Writes the result file: the output text with CR LF line ends, then one
// more CR LF, in UTF-8 without a byte-order mark. The file appears whole or
// not at all; a failure leaves an existing file as it was. Returns why it
// failed, or an empty text.
QString writeResultFile(const QString& path, const QString& outputText);

} // namespace tavilon

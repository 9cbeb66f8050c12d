// Conversion of ISO 8859-1 text (the unit labels and the dialog's item texts,
// where "\xB2", "\xB3", "\xB0" and "\xB1" are one byte each) to the UTF-8
// that widgets, drawings and exported files take.
#pragma once

#include <string>
#include <string_view>

namespace units {

// Every byte is one ISO 8859-1 character: bytes below 0x80 are copied, the
// others become their two-byte UTF-8 sequence.
std::string latin1ToUtf8(std::string_view latin1);

} // namespace units

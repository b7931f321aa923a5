// SPDX-License-Identifier: GPL-3.0-or-later
// The score the game reads from the text it shows is the one the helper reads
// from the same bytes, whatever they are.

#include "fuzz.h"
#include "game/rules.h"
#include "storage/recordfiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    CHECK(record::readNumber(bytes) == readNumber(decodedText(bytes)));
    return 0;
}

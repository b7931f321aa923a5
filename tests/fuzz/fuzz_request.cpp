// SPDX-License-Identifier: GPL-3.0-or-later
// The helper's input and the names a record may hold: UTF-8 as Qt's decoder
// reads it, no longer than a record's name, kept whole when storable. Which
// characters and scores are refused is tst_records' tables.

#include "fuzz.h"
#include "storage/record.h"

#include <QList>
#include <QStringDecoder>

#include <algorithm>

namespace {

// Code points, or -1 when the bytes are not all UTF-8.
qsizetype characters(std::string_view bytes)
{
    using enum QStringDecoder::Flag;
    QStringDecoder decoder(QStringDecoder::Utf8, Stateless | ConvertInitialBom);
    const QString text = decoder(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    return decoder.hasError() ? -1 : text.toUcs4().size();
}

bool storable(std::string_view name)
{
    return !record::nameProblem(name);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    const qsizetype length = characters(input);
    const auto longest = qsizetype(record::kMaxNameLength);
    CHECK(!storable(input) || (length >= 0 && length <= longest));
    // Always storable, no longer, and the name itself when it is.
    const std::string name = record::storableName(input);
    CHECK(storable(name) && name.size() <= input.size());
    CHECK(!storable(input) || name == input);
    // Nothing after what it leaves out is lost.
    const std::string more = record::storableName(std::string(input) + '\0' + "Eva");
    CHECK(more.ends_with("Eva") || characters(more) == longest);

    const std::size_t end = input.find('\n');
    const bool lines = size <= record::kMaxRequest && std::ranges::count(input, '\n') == 2
            && input.ends_with('\n');
    const std::string_view score = input.substr(0, end);
    const std::string_view holder = lines ? input.substr(end + 1, size - end - 2) : "";
    record::Request request;
    const bool taken = !record::parseRequest(input, request);
    CHECK(taken == (lines && !record::scoreProblem(score) && storable(holder)));
    CHECK(!taken || (request.score == score && request.name == holder));
    return 0;
}

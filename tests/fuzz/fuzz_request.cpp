// SPDX-License-Identifier: GPL-3.0-or-later
// The helper's input and the names a record may hold, against the rule stated
// again with Qt's UTF-8 decoder and Unicode properties.

#include "fuzz.h"
#include "storage/record.h"

#include <QList>
#include <QStringDecoder>

#include <algorithm>
#include <optional>

namespace {

// Default_Ignorable_Code_Point, as Unicode's DerivedCoreProperties.txt has it.
constexpr char32_t kIgnorable[][2] = {{0x00AD, 0x00AD},   {0x034F, 0x034F},  {0x061C, 0x061C},
                                      {0x115F, 0x1160},   {0x17B4, 0x17B5},  {0x180B, 0x180F},
                                      {0x200B, 0x200F},   {0x202A, 0x202E},  {0x2060, 0x206F},
                                      {0x3164, 0x3164},   {0xFE00, 0xFE0F},  {0xFEFF, 0xFEFF},
                                      {0xFFA0, 0xFFA0},   {0xFFF0, 0xFFF8},  {0x1BCA0, 0x1BCA3},
                                      {0x1D173, 0x1D17A}, {0xE0000, 0xE0FFF}};
// Invisible, yet names in some scripts need them: the joiners, the variation selectors.
constexpr char32_t kNeeded[][2] = {
        {0x200C, 0x200D}, {0xFE00, 0xFE0F}, {0xE0100, 0xE01EF}, {0x180B, 0x180D}, {0x180F, 0x180F}};
constexpr QChar::Direction kBidiControls[] = {QChar::DirLRE, QChar::DirRLE, QChar::DirLRO,
                                              QChar::DirRLO, QChar::DirPDF, QChar::DirLRI,
                                              QChar::DirRLI, QChar::DirFSI, QChar::DirPDI};

bool within(char32_t c, const auto &ranges)
{
    return std::ranges::any_of(ranges, [c](auto &range) { return range[0] <= c && c <= range[1]; });
}

bool allowed(char32_t c)
{
    const QChar::Category category = QChar::category(c);
    return category != QChar::Other_Control && category != QChar::Separator_Line
            && category != QChar::Separator_Paragraph && !QChar::isNonCharacter(c)
            && !std::ranges::count(kBidiControls, QChar::direction(c))
            && (!within(c, kIgnorable) || within(c, kNeeded));
}

// The code points of bytes, or none when they are not all UTF-8.
std::optional<QList<uint>> decoded(std::string_view bytes)
{
    using enum QStringDecoder::Flag;
    QStringDecoder decoder(QStringDecoder::Utf8, Stateless | ConvertInitialBom);
    const QString text = decoder(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    return decoder.hasError() ? std::nullopt : std::optional(text.toUcs4());
}

bool storable(std::string_view name)
{
    const auto points = decoded(name);
    return points && points->size() <= 32 && std::ranges::all_of(*points, allowed);
}

bool scoreTaken(std::string_view score)
{
    return !score.empty() && score.size() <= 5
            && std::ranges::all_of(score, [](char c) { return c >= '0' && c <= '9'; })
            && std::stoi(std::string(score)) <= 32767;
}

} // namespace

// Every character alone, once: the fuzzer seldom makes the few refused ones.
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    for (char32_t c = 0; c <= 0x10FFFF; c = c == 0xD7FF ? 0xE000 : c + 1) {
        const QByteArray bytes = QStringView(QChar::fromUcs4(c)).toUtf8();
        if (!record::nameProblem(bytes.toStdString()) != allowed(c))
            std::fprintf(stderr, "U+%04X\n", unsigned(c)), std::abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    CHECK(!record::nameProblem(input) == storable(input));
    CHECK(!record::scoreProblem(input) == scoreTaken(input));
    // Always storable, no longer, and the name itself when it is.
    const std::string name = record::storableName(input);
    CHECK(storable(name) && name.size() <= input.size());
    CHECK(!storable(input) || name == input);
    // Nothing after a character it leaves out is lost.
    const std::string more = record::storableName(std::string(input) + '\0' + "Eva");
    CHECK(more.ends_with("Eva") || decoded(more)->size() == 32);

    const std::size_t end = input.find('\n');
    const bool lines = input.size() <= record::kMaxRequest && std::ranges::count(input, '\n') == 2
            && input.ends_with('\n');
    const std::string_view score = input.substr(0, end);
    const std::string_view holder = lines ? input.substr(end + 1, size - end - 2) : "";
    record::Request request;
    const bool taken = !record::parseRequest(input, request);
    CHECK(taken == (lines && scoreTaken(score) && storable(holder)));
    CHECK(!taken || (request.score == score && request.name == holder));
    return 0;
}

#include "number_format.h"

#include <fmt/compile.h>
#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <span>

#include "exact_decimals.h"
#include "wide_product.h"

// {fmt} formats every double here, in every build: not every standard library has
// floating-point std::to_chars, and the bytes must not depend on which one a build has. The
// layouts are this program's own, built from {fmt}'s digits.

namespace dsf2vemo {

namespace {

// Returns true when it wrote a name for a non-finite value.
bool AppendNonFinite(std::string& out, double value) {
    if (std::isnan(value)) {
        out += "NaN";
        return true;
    }
    if (std::isinf(value)) {
        out += value < 0 ? "-Inf" : "Inf";
        return true;
    }
    return false;
}

// A compiled format into a buffer large enough for any double in it.
template <std::size_t N, class Format, class... Args>
std::string_view FormatInto(std::array<char, N>& buffer, const Format& format,
                            const Args&... args) {
    const char* end = fmt::format_to(buffer.data(), format, args...);
    return {buffer.data(), static_cast<std::size_t>(end - buffer.data())};
}

// "00" to "99": digits are written two at a time, with 32-bit arithmetic where it can, which
// WebAssembly does in a few instructions where a 64-bit division by ten is a real division.
constexpr std::array<char, 200> kDigitPairs = [] {
    std::array<char, 200> pairs{};
    for (std::size_t i = 0; i < 100; ++i) {
        pairs[2 * i] = static_cast<char>('0' + i / 10);
        pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}();

char* WritePair(char* at, std::uint32_t value) {
    std::memcpy(at, kDigitPairs.data() + 2 * value, 2);
    return at + 2;
}

// Exactly four digits of `value` < 10^4, leading zeros included.
char* WriteFourDigits(char* at, std::uint32_t value) {
    const auto high = static_cast<std::uint32_t>(DivideBy<100, 14>(value));
    at = WritePair(at, high);
    return WritePair(at, value - 100 * high);
}

// Exactly eight digits of `value` < 10^8, leading zeros included.
char* WriteEightDigits(char* at, std::uint32_t value) {
    const auto high = static_cast<std::uint32_t>(DivideBy<10000, 27>(value));
    const std::uint32_t low = value - 10000 * high;
    at = WriteFourDigits(at, high);
    return WriteFourDigits(at, low);
}

// The digits of `value` < 10^8 without leading zeros, at least one.
char* WriteShortDigits(char* at, std::uint32_t value) {
    int count = 1;
    for (std::uint32_t bound = 10; count < 8 && value >= bound; bound *= 10) {
        ++count;
    }
    char* const end = at + count;
    char* p = end;
    while (value >= 100) {
        const auto high = static_cast<std::uint32_t>(DivideBy<100, 27>(value));
        p -= 2;
        WritePair(p, value - 100 * high);
        value = high;
    }
    if (value >= 10) {
        WritePair(p - 2, value);
    } else {
        p[-1] = static_cast<char>('0' + value);
    }
    return end;
}

constexpr std::uint64_t kTenTo8 = 100'000'000;

// The digits of any 64-bit `value` without leading zeros: the first up to eight, then eight at
// a time.
char* WriteDigits(char* at, std::uint64_t value) {
    if (value < kTenTo8) {
        return WriteShortDigits(at, static_cast<std::uint32_t>(value));
    }
    if (value < kTenTo8 * kTenTo8) {
        const std::uint64_t high = DivideBy<kTenTo8, 54>(value);
        at = WriteShortDigits(at, static_cast<std::uint32_t>(high));
        return WriteEightDigits(at, static_cast<std::uint32_t>(value - kTenTo8 * high));
    }
    // Only the shortest digits of a double reach 17 digits: rare enough for real divisions.
    const std::uint64_t low16 = value % (kTenTo8 * kTenTo8);
    at = WriteShortDigits(at, static_cast<std::uint32_t>(value / (kTenTo8 * kTenTo8)));
    at = WriteEightDigits(at, static_cast<std::uint32_t>(low16 / kTenTo8));
    return WriteEightDigits(at, static_cast<std::uint32_t>(low16 % kTenTo8));
}

// A number's text built in a buffer with room for kNumberRoom characters and added to the output
// at once, the decimal separator, of any length, where `point` is.
class NumberText {
  public:
    explicit NumberText(char* begin) : begin_(begin), end_(begin) {}
    char* At() { return end_; }
    void MovedTo(char* end) { end_ = end; }
    void Put(char c) { *end_++ = c; }
    void Put(const char* from, std::size_t count) {
        std::memcpy(end_, from, count);
        end_ += count;
    }
    // `count` <= kRunLength characters from `from`, which has kRunLength to read: a copy of fixed
    // length is a few loads and stores, where one of any length calls memcpy, which in
    // WebAssembly is a loop.
    void PutRun(const char* from, int count) {
        std::memcpy(end_, from, kRunLength);
        end_ += count;
    }
    void PutZeros(int count) { PutRun(kZeros.data(), count); }
    static constexpr int kRunLength = 24;
    void PutPoint() {
        point_ = end_;
        Put('.');
    }
    void AppendTo(std::string& out, std::string_view point) {
        const auto length = static_cast<std::size_t>(end_ - begin_);
        if (point_ == nullptr) {
            out.append(begin_, length);
        } else if (point.size() == 1) {
            *point_ = point[0];
            out.append(begin_, length);
        } else {
            const auto before = static_cast<std::size_t>(point_ - begin_);
            out.append(begin_, before);
            out.append(point);
            out.append(point_ + 1, length - before - 1);
        }
    }
    // The text with `point` in place, in a buffer with room for it too; returns its end.
    char* Finish(std::string_view point) {
        if (point_ != nullptr && point.size() == 1) {
            *point_ = point[0];
        } else if (point_ != nullptr) {
            char* const after = point_ + 1;
            std::memmove(after + point.size() - 1, after, static_cast<std::size_t>(end_ - after));
            std::memcpy(point_, point.data(), point.size());
            end_ += point.size() - 1;
        }
        return end_;
    }

  private:
    static constexpr std::array<char, kRunLength> kZeros = [] {
        std::array<char, kRunLength> zeros{};
        zeros.fill('0');
        return zeros;
    }();
    char* begin_;
    char* end_;
    char* point_ = nullptr;
};

// The longest text is 24 characters: a sign and the 22 integer digits of the shortest form, or 17
// digits, a point and an exponent; and a run may be written past the end of what stays.
constexpr std::size_t kNumberRoom = 24 + NumberText::kRunLength;
using NumberBuffer = std::array<char, kNumberRoom>;

// Decimal digits d1 d2 … dn and the exponent of d1.d2…dn × 10^exponent, with no trailing zeros
// (but for a zero value, one digit 0).
struct Significand {
    Significand() { digits.fill('0'); }
    // Zeros past the digits, up to where the longest run from the last digit ends.
    std::array<char, 17 + NumberText::kRunLength> digits;
    int count = 0;
    int exponent = 0;
};

void DropTrailingZeros(Significand& s) {
    while (s.count > 1 && s.digits[static_cast<std::size_t>(s.count - 1)] == '0') {
        --s.count;
    }
}

// The significand of `digits` × 10^`exponent`.
Significand SignificandOf(std::uint64_t digits, int exponent) {
    Significand s;
    s.count = static_cast<int>(WriteDigits(s.digits.data(), digits) - s.digits.data());
    s.exponent = exponent + s.count - 1;
    DropTrailingZeros(s);
    return s;
}

// The same for 15 digits, 10^14 <= `digits` < 10^15, the usual case: one 64-bit division, the
// rest in 32 bits.
Significand FifteenDigitSignificand(std::uint64_t digits, int exponent) {
    Significand s;
    const std::uint64_t high = DivideBy<kTenTo8, 50>(digits);
    const auto low = static_cast<std::uint32_t>(digits - kTenTo8 * high);
    char* at = s.digits.data();
    const auto first = static_cast<std::uint32_t>(DivideBy<1'000'000, 24>(high));
    *at++ = static_cast<char>('0' + first);
    const auto rest = static_cast<std::uint32_t>(high - 1'000'000 * first);
    const auto first_pair = static_cast<std::uint32_t>(DivideBy<10000, 20>(rest));
    at = WritePair(at, first_pair);
    at = WriteFourDigits(at, rest - 10000 * first_pair);
    WriteEightDigits(at, low);
    s.count = 15;
    s.exponent = exponent + 14;
    DropTrailingZeros(s);
    return s;
}

// The shortest digits that read back as the same positive double: {fmt}'s Dragonbox, what its
// "{}" writes, taken before {fmt} lays them out (at other switches to the exponent form than
// those wanted here).
fmt::detail::dragonbox::decimal_fp<double> ShortestDecimal(double magnitude) {
    return fmt::detail::dragonbox::to_decimal(magnitude);
}

Significand ShortestSignificand(double magnitude) {
    if (magnitude == 0) {
        return SignificandOf(0, 0);
    }
    const auto decimal = ShortestDecimal(magnitude);
    return SignificandOf(decimal.significand, decimal.exponent);
}

// The digits of {fmt}'s "d.dddddddddddddde+XX", the exact binary value correctly rounded.
Significand FifteenDigitsExactly(double magnitude) {
    std::array<char, 32> buffer{};
    const std::string_view text = FormatInto(buffer, FMT_COMPILE("{:.14e}"), magnitude);
    std::uint64_t digits = static_cast<std::uint64_t>(text[0] - '0');
    for (const char c : text.substr(2, 14)) {
        digits = 10 * digits + static_cast<std::uint64_t>(c - '0');
    }
    int exponent = 0;
    for (const char c : text.substr(18)) {
        exponent = 10 * exponent + (c - '0');
    }
    return SignificandOf(digits, (text[17] == '-' ? -exponent : exponent) - 14);
}

// 10^0 to 10^19, every power of ten a 64-bit unsigned integer holds.
constexpr std::array<std::uint64_t, 20> kPowersOf10 = [] {
    std::array<std::uint64_t, 20> powers{};
    std::uint64_t power = 1;
    for (std::uint64_t& entry : powers) {
        entry = power;
        power *= 10;
    }
    return powers;
}();

std::uint64_t PowerOf10(int exponent) {
    return kPowersOf10[static_cast<std::size_t>(exponent)];
}

int DigitCount(std::uint64_t value) {
    int count = 1;
    while (count < 20 && value >= kPowersOf10[static_cast<std::size_t>(count)]) {
        ++count;
    }
    return count;
}

// The shortest digits of a normal double rounded to a multiple of 10^`position`, in units of it,
// the way its exact value rounds. They are the nearest of their length to the value, so any half
// unit between them and the value, which has no more digits than they have, would be nearer:
// there is none, unless they are that half themselves. Then, std::nullopt: only the exact value
// can decide. Where they end above `position`, the caller has made sure that the value is within
// half a unit of them.
std::optional<std::uint64_t> RoundedShortest(fmt::detail::dragonbox::decimal_fp<double> shortest,
                                             int position) {
    if (shortest.exponent >= position) {
        return shortest.significand * PowerOf10(shortest.exponent - position);
    }
    const std::uint64_t unit = PowerOf10(position - shortest.exponent);
    const std::uint64_t dropped = shortest.significand % unit;
    if (2 * dropped == unit) {
        return std::nullopt;
    }
    return shortest.significand / unit + (2 * dropped > unit ? 1 : 0);
}

// A positive finite value rounded to 15 significant digits: by integer arithmetic where it can;
// else, for a normal double, from its shortest digits (within half a step between doubles of
// it, less than half a unit of a 15th digit); otherwise by {fmt} from the exact value, which
// takes longer.
Significand RoundTo15Digits(double magnitude) {
    if (const std::optional<FifteenDigits> exact = ExactFifteenDigits(magnitude)) {
        return FifteenDigitSignificand(exact->digits, exact->exponent - 14);
    }
    if (magnitude < std::numeric_limits<double>::min()) {
        return FifteenDigitsExactly(magnitude);
    }
    const auto shortest = ShortestDecimal(magnitude);
    const int position = shortest.exponent + DigitCount(shortest.significand) - 15;
    const std::optional<std::uint64_t> rounded = RoundedShortest(shortest, position);
    return rounded ? SignificandOf(*rounded, position) : FifteenDigitsExactly(magnitude);
}

// Digits `from` to `to` of the significand, zeros past its last digit.
// `from` is at most 17 and no form takes more than 22 digits, a run at most.
void PutDigits(NumberText& text, const Significand& s, int from, int to) {
    text.PutRun(s.digits.data() + from, to - from);
}

// The exponent form d[.ddd]E±XX of a significand, at least two exponent digits.
void PutExponentForm(NumberText& text, const Significand& s, char letter) {
    text.Put(s.digits[0]);
    if (s.count > 1) {
        text.PutPoint();
        PutDigits(text, s, 1, s.count);
    }
    text.Put(letter);
    text.Put(s.exponent < 0 ? '-' : '+');
    const auto exponent = static_cast<std::uint32_t>(std::abs(s.exponent));
    if (exponent >= 100) {
        text.Put(static_cast<char>('0' + exponent / 100));
    }
    text.MovedTo(WritePair(text.At(), exponent % 100));
}

// The fixed form of a significand with digits after the point: "0.000ddd" or "dd.ddd".
void PutFixedFraction(NumberText& text, const Significand& s) {
    if (s.exponent < 0) {
        text.Put('0');
        text.PutPoint();
        // At most three zeros: with more, the exponent form is shorter.
        text.PutZeros(-s.exponent - 1);
        PutDigits(text, s, 0, s.count);
    } else {
        PutDigits(text, s, 0, s.exponent + 1);
        if (s.count > s.exponent + 1) {
            text.PutPoint();
            PutDigits(text, s, s.exponent + 1, s.count);
        }
    }
}

// Characters of each form of the same digits, for the rule that picks the shorter.
int FixedLength(const Significand& s) {
    if (s.exponent >= s.count - 1) {
        return s.exponent + 1;
    }
    return s.exponent >= 0 ? s.count + 1 : s.count - s.exponent + 1;
}
int ExponentFormLength(const Significand& s) {
    return s.count + (s.count > 1 ? 1 : 0) + 2 + (std::abs(s.exponent) >= 100 ? 3 : 2);
}

void PutGeneralNumber(NumberText& text, double value) {
    if (std::isnan(value)) {
        text.Put("NaN", 3);
        return;
    }
    if (std::isinf(value)) {
        text.Put(value < 0 ? "-Inf" : "Inf", value < 0 ? 4 : 3);
        return;
    }
    if (value == 0) {
        text.Put('0');
        return;
    }
    if (value < 0) {
        text.Put('-');
    }
    const Significand s = RoundTo15Digits(std::fabs(value));
    if (s.exponent < -4 || s.exponent >= 15) {
        PutExponentForm(text, s, 'E');
    } else {
        PutFixedFraction(text, s);
    }
}

// The pane's form of `value` from its thousandths.
void PutThousandths(NumberText& text, double value, std::uint64_t thousandths) {
    if (value < 0 && thousandths != 0) {
        text.Put('-');
    }
    // Thousandths stay below 2^62: 2^52 times 1000.
    const std::uint64_t units = DivideBy<1000, 62>(thousandths);
    if (units != 0) {
        text.MovedTo(WriteDigits(text.At(), units));
    }
    text.PutPoint();
    const auto decimals = static_cast<std::uint32_t>(thousandths - 1000 * units);
    const auto tenths = static_cast<std::uint32_t>(DivideBy<100, 10>(decimals));
    text.Put(static_cast<char>('0' + tenths));
    text.MovedTo(WritePair(text.At(), decimals - 100 * tenths));
}

// The pane's form, after the character `before` where there is one.
void AppendThreeDecimalsAfter(std::string& out, std::optional<char> before, double value,
                              std::string_view decimal_separator) {
    const std::optional<std::uint64_t> thousandths =
        std::isfinite(value) ? ExactThousandths(std::fabs(value)) : std::nullopt;
    if (!thousandths && before) {
        out += *before;
    }
    if (AppendNonFinite(out, value)) {
        return;
    }
    if (thousandths) {
        NumberBuffer buffer;
        NumberText text(buffer.data());
        if (before) {
            text.Put(*before);
        }
        PutThousandths(text, value, *thousandths);
        text.AppendTo(out, decimal_separator);
        return;
    }
    // Large enough for the 309 integer digits of DBL_MAX, the point and three decimals.
    std::array<char, 330> buffer;
    const std::string_view text = FormatInto(buffer, FMT_COMPILE("{:.3f}"), std::fabs(value));
    if (value < 0 && text != "0.000") {
        out += '-';
    }
    const std::size_t point = text.size() - 4;
    if (!(point == 1 && text[0] == '0')) {
        out.append(text.substr(0, point));
    }
    out.append(decimal_separator);
    out.append(text.substr(point + 1));
}

}  // namespace

void AppendThreeDecimals(std::string& out, double value, std::string_view decimal_separator) {
    AppendThreeDecimalsAfter(out, std::nullopt, value, decimal_separator);
}

void AppendThreeDecimals(std::string& out, char before, double value,
                         std::string_view decimal_separator) {
    AppendThreeDecimalsAfter(out, before, value, decimal_separator);
}
std::size_t ThreeDecimalsRoom(std::string_view decimal_separator) {
    // The 309 integer digits of DBL_MAX, a sign, the character before and three decimals.
    return 320 + decimal_separator.size();
}

char* WriteThreeDecimals(char* at, char before, double value, std::string_view decimal_separator) {
    *at++ = before;
    if (std::isfinite(value)) {
        if (const std::optional<std::uint64_t> thousandths = ExactThousandths(std::fabs(value))) {
            NumberText text(at);
            PutThousandths(text, value, *thousandths);
            return text.Finish(decimal_separator);
        }
    }
    // Values past 2^52 and the names of those that are not numbers: rare enough for a string.
    std::string text;
    AppendThreeDecimals(text, value, decimal_separator);
    std::memcpy(at, text.data(), text.size());
    return at + text.size();
}

void AppendGeneralNumber(std::string& out, double value, std::string_view decimal_separator) {
    NumberBuffer buffer;
    NumberText text(buffer.data());
    PutGeneralNumber(text, value);
    text.AppendTo(out, decimal_separator);
}

void AppendGeneralNumbers(std::string& out, std::span<const double> values,
                          std::string_view separator, std::string_view decimal_separator) {
    // Each number with its separators must fit in the buffer, or each goes its own way.
    const std::size_t room = separator.size() + kNumberRoom + decimal_separator.size();
    std::array<char, kNumbersRoom> buffer;
    if (room > buffer.size()) {
        for (const double value : values) {
            out.append(separator);
            AppendGeneralNumber(out, value, decimal_separator);
        }
        return;
    }
    char* at = buffer.data();
    for (const double value : values) {
        if (static_cast<std::size_t>(buffer.data() + buffer.size() - at) < room) {
            out.append(buffer.data(), static_cast<std::size_t>(at - buffer.data()));
            at = buffer.data();
        }
        if (separator.size() == 1) {
            *at++ = separator[0];
        } else {
            std::memcpy(at, separator.data(), separator.size());
            at += separator.size();
        }
        NumberText text(at);
        PutGeneralNumber(text, value);
        at = text.Finish(decimal_separator);
    }
    out.append(buffer.data(), static_cast<std::size_t>(at - buffer.data()));
}

void AppendShortestNumber(std::string& out, double value, ShortestSpelling spelling) {
    NumberBuffer buffer;
    NumberText text(buffer.data());
    if (std::signbit(value)) {
        if (spelling.negative_zero_with_point && value == 0) {
            out += "-0.0";
            return;
        }
        text.Put('-');
    }
    // The shorter of the fixed and the exponent form, the fixed one on a tie.
    const double magnitude = std::fabs(value);
    const Significand s = ShortestSignificand(magnitude);
    if (ExponentFormLength(s) < FixedLength(s)) {
        PutExponentForm(text, s, spelling.exponent);
    } else if (s.exponent < s.count - 1) {
        PutFixedFraction(text, s);
    } else if (s.exponent < 15) {
        // Below 2^53 every integer is a double of its own: the digits are the exact value.
        PutDigits(text, s, 0, s.exponent + 1);
    } else {
        // Beyond, the fixed form is the exact integer value, not the digits padded with zeros.
        std::array<char, 32> exact{};
        const std::string_view digits = FormatInto(exact, FMT_COMPILE("{:.0f}"), magnitude);
        text.Put(digits.data(), digits.size());
    }
    text.AppendTo(out, ".");
}

void AppendSignificantDigits(std::string& out, double value, int digits,
                             std::string_view decimal_separator) {
    if (AppendNonFinite(out, value)) {
        return;
    }
    std::array<char, 32> buffer{};
    const char* end = fmt::format_to(buffer.data(), "{:.{}g}", value, digits);
    for (const char c :
         std::string_view(buffer.data(), static_cast<std::size_t>(end - buffer.data()))) {
        if (c == '.') {
            out.append(decimal_separator);
        } else {
            out += c;
        }
    }
}

std::string FormatThreeDecimals(double value, std::string_view decimal_separator) {
    std::string out;
    AppendThreeDecimals(out, value, decimal_separator);
    return out;
}

std::string FormatGeneralNumber(double value, std::string_view decimal_separator) {
    std::string out;
    AppendGeneralNumber(out, value, decimal_separator);
    return out;
}

std::string FormatSignificantDigits(double value, int digits, std::string_view decimal_separator) {
    std::string out;
    AppendSignificantDigits(out, value, digits, decimal_separator);
    return out;
}

}  // namespace dsf2vemo

// The parser the round-trip and fuzz checks rely on must itself reject what is malformed.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "case_name.h"
#include "text_data_parser.h"

namespace dsf2vemo {
namespace {

struct NumberCase {
    std::string name;
    std::string field;
    std::string decimal;
    std::optional<std::string> expected;  // "%.14e" form, or nothing when malformed
};

class NumberFieldTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(NumberFieldTest, ReadsTheGeneralFormOnly) {
    const NumberCase& c = GetParam();
    EXPECT_EQ(testing::FieldAsFifteenDigits(c.field, c.decimal), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NumberFieldTest,
    ::testing::Values(NumberCase{"Plain", "20.5", ".", "2.05000000000000e+01"},
                      NumberCase{"DecimalComma", "-0,25", ",", "-2.50000000000000e-01"},
                      NumberCase{"Exponent", "1E-05", ".", "1.00000000000000e-05"},
                      NumberCase{"LongExponent", "4.94065645841247E-324", ".",
                                 "4.94065645841247e-324"},
                      NumberCase{"FifteenDigits", "123456789012345", ".", "1.23456789012345e+14"},
                      NumberCase{"Zero", "0", ".", "0.00000000000000e+00"},
                      NumberCase{"NonFinite", "-Inf", ".", "-inf"},
                      NumberCase{"SixteenDigits", "1234567890123456", ".", std::nullopt},
                      NumberCase{"WrongDecimal", "0.5", ",", std::nullopt},
                      NumberCase{"LowerCaseExponent", "1e-05", ".", std::nullopt},
                      NumberCase{"ExponentWithoutSign", "1E05", ".", std::nullopt},
                      NumberCase{"NoLeadingDigit", ".5", ".", std::nullopt},
                      NumberCase{"TwoDecimals", "1.5.5", ".", std::nullopt},
                      NumberCase{"LowerCaseNaN", "nan", ".", std::nullopt},
                      NumberCase{"Empty", "", ".", std::nullopt},
                      NumberCase{"PlusSign", "+1", ".", std::nullopt}),
    testing::CaseName());

struct TextCase {
    std::string name;
    std::string text;
    std::string error;  // empty when the text is well formed
};

class ParseTextDataTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(ParseTextDataTest, FindsTheFirstFault) {
    const TextCase& c = GetParam();
    std::string error;
    const auto parsed = testing::ParseTextData(c.text, ",", error);
    EXPECT_EQ(parsed.has_value(), c.error.empty());
    EXPECT_EQ(error, c.error);
}

const std::string kGood =
    "rowtype_,varname_,X1,X2\r\nn,,150,150\r\ncov,X1,1.5\r\ncov,X2,0.3,2.25\r\nmean,,10,20.5\r\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseTextDataTest,
    ::testing::Values(
        TextCase{"WellFormed", kGood, ""},
        TextCase{"NoFinalLineEnd", kGood.substr(0, kGood.size() - 2),
                 "the text does not end with CR LF"},
        TextCase{"BareLineFeed", "rowtype_,varname_,X\n1\r\nn,,1\r\ncov,X\n1,1\r\nmean,,1\r\n",
                 "line 1 holds a bare CR or LF"},
        TextCase{"MissingCovarianceField",
                 "rowtype_,varname_,X1,X2\r\nn,,150,150\r\ncov,X1,1.5\r\ncov,X2,0.3\r\nmean,,10,"
                 "20.5\r\n",
                 "line 4 has 3 fields, not 4"},
        TextCase{"RowNameMismatch", "rowtype_,varname_,X1\r\nn,,1\r\ncov,Y1,1\r\nmean,,1\r\n",
                 "line 3 has 'Y1' as its second field, not 'X1'"},
        TextCase{"TooFewLines", "rowtype_,varname_\r\nn,\r\n",
                 "the text has 2 lines, fewer than 3"}),
    testing::CaseName());

}  // namespace
}  // namespace dsf2vemo

// The web front end's form decoder, and the "query.frm" it writes read back by galsift.
#include "web/form.h"
#include "web/query_text.h"
#include "flow/globals.h"
#include "query/query_form.h"
#include "scratch_dir.h"

#include <string>
#include <vector>

// A complete, valid form, as a browser sends it.
static const std::string good =
    "epoch=2000&ra_min_h=10&ra_min_m=0&ra_min_s=0&ra_max_h=14&ra_max_m=30&ra_max_s=0"
    "&dec_min_sign=-&dec_min_d=5&dec_min_m=0&dec_min_s=0&dec_max_sign=%2B&dec_max_d=45"
    "&dec_max_m=30&dec_max_s=0&z_min=0.5&z_max=3";

// `good` with the field `name` given the raw (still encoded) value `value`.
static std::string with(const std::string& name, const std::string& value) {
    std::size_t at = good.find(name + "=");
    std::size_t end = good.find('&', at);
    if (end == std::string::npos)
        end = good.size();
    return good.substr(0, at) + name + "=" + value + good.substr(end);
}

TEST(CgiForm, DecodesAGoodForm) {
    query_fields fields;
    std::string why;
    ASSERT_EQ(decode_form(good, fields, why), form_ok) << why;
    EXPECT_EQ(fields.value[f_dec_max_sign], "+"); // %2B
    EXPECT_EQ(fields.value[f_dec_min_sign], "-");
    EXPECT_EQ(fields.value[f_z_min], "0.5");
    // Fields may come in any order, and empty pairs are ignored.
    std::string reordered = "z_max=3&&" + good.substr(0, good.rfind("&z_max")) + "&";
    ASSERT_EQ(decode_form(reordered, fields, why), form_ok) << why;
    ASSERT_EQ(decode_form(with("z_max", "1.5e%2B2"), fields, why), form_ok) << why;
    EXPECT_EQ(fields.value[f_z_max], "1.5e+2");
}

TEST(CgiForm, RefusesWhatIsNotTheForm) {
    struct refused {
        std::string data;
        int result;
    };
    const std::vector<refused> cases = {
        {"", form_malformed},                                   // every field missing
        {good.substr(0, good.rfind("&z_max")), form_malformed}, // one missing
        {good + "&z_max=3", form_malformed},                    // repeated
        {good + "&extra=1", form_malformed},                    // unknown field
        {good + "&novalue", form_malformed},                    // a pair without "="
        {with("z_max", "3%"), form_malformed},                  // escape cut short
        {with("z_max", "3%4"), form_malformed},
        {with("z_max", "%zz"), form_malformed},
        {with("z_max", "3%00"), form_malformed},   // NUL byte
        {with("z_max", "3%0A"), form_malformed},   // line end: would add an entry
        {with("z_max", "%C3%A9"), form_malformed}, // non-ASCII
        {with("z_max", std::string(33, '1')), form_oversized},
        {good + "&" + std::string(form_limit, 'a'), form_oversized},
        {with("z_max", "3+"), form_not_number},   // '+' is a space
        {with("z_max", "3%3D"), form_not_number}, // "=" would shift the entries
        {with("z_max", "%2E"), form_not_number},
        {with("z_max", "inf"), form_not_number},
        {with("z_max", "nan"), form_not_number},
        {with("z_max", "0x10"), form_not_number},
        {with("z_max", "1e"), form_not_number},
        {with("z_max", "1.2.3"), form_not_number},
        {with("z_max", "--1"), form_not_number},
        {with("z_max", ""), form_not_number},
        {with("ra_min_h", "..%2F..%2Fetc"), form_not_number},
        {with("ra_min_h", "%3Cb%3E"), form_not_number},
        {with("dec_min_sign", ""), form_not_number},
        {with("dec_min_sign", "%2B%2B"), form_not_number},
        {with("dec_min_sign", "1"), form_not_number},
        {with("dec_min_sign", "+"), form_not_number}, // '+' decodes to a space
    };
    for (const refused& each : cases) {
        query_fields fields;
        std::string why;
        EXPECT_EQ(decode_form(each.data, fields, why), each.result) << each.data.substr(0, 200);
        EXPECT_FALSE(why.empty());
    }
}

TEST(CgiForm, NumberTexts) {
    for (const char* text :
         {"0", "12", "-5", "+5", "0.5", ".5", "5.", "1e3", "1E-3", "2.5e+10", "00012"})
        EXPECT_TRUE(is_number_text(text)) << text;
    for (const char* text : {"", "+", "-", ".", "e3", "1e", "1e+", "1 ", " 1", "1,5", "1:2",
                             "1e3.5", "+-1", "infinity", "NaN", "0x1p3", "1f"})
        EXPECT_FALSE(is_number_text(text)) << text;
}

class CgiQueryText : public scratch_dir {};

// The form the front end writes is one galsift reads entry for entry.
TEST_F(CgiQueryText, GalsiftReadsWhatTheFrontEndWrites) {
    query_fields fields;
    std::string why;
    ASSERT_EQ(decode_form(with("epoch", "1950") + "&", fields, why), form_ok) << why;
    std::string text = query_form_text(fields);
    EXPECT_EQ(text, "Epoch=1950\n"
                    "Minimal ascension= 10:0:0\n"
                    "Maximal ascension= 14:30:0\n"
                    "Minimal declination=-5:0:0\n"
                    "Maximal declination=+45:30:0\n"
                    "Minimal redshift= 0.5\n"
                    "Maximal redshift= 3\n");
    write_file("query.frm", text);
    testing::internal::CaptureStdout();
    EXPECT_EQ(init_query_parameters(), 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(epoch, 1950);
    EXPECT_EQ(minimal_ascension.value(), 36000);
    EXPECT_EQ(maximal_ascension.value(), 52200);
    EXPECT_EQ(minimal_declination.value(), -18000);
    EXPECT_EQ(maximal_declination.value(), 163800);
    EXPECT_EQ(min_redshift, 0.5);
    EXPECT_EQ(max_redshift, 3);
}

// The web front end's form decoder, the bounds typed as one text, the "query.frm" it
// writes read back by galsift, and the pages and headers it answers with.
#include "flow/globals.h"
#include "query/query_form.h"
#include "scratch_dir.h"
#include "web/bound_text.h"
#include "web/form.h"
#include "web/form_page.h"
#include "web/query_text.h"
#include "web/response.h"

#include <string>
#include <vector>

// A complete, valid form, as a browser sends it, and the same query in the seventeen
// fields of the earlier form.
static const std::string good = "epoch=2000&ra_min=10%3A00%3A00&ra_max=14h30m0s"
                                "&dec_min=-5+0+0&dec_max=%2B45%3A30%3A0&z_min=0.5&z_max=3";
static const std::string good_old =
    "epoch=2000&ra_min_h=10&ra_min_m=00&ra_min_s=00&ra_max_h=14&ra_max_m=30&ra_max_s=0"
    "&dec_min_sign=-&dec_min_d=5&dec_min_m=0&dec_min_s=0&dec_max_sign=%2B&dec_max_d=45"
    "&dec_max_m=30&dec_max_s=0&z_min=0.5&z_max=3";

// `form` with the field `name` given the raw (still encoded) value `value`.
static std::string with(const std::string& name, const std::string& value,
                        const std::string& form = good) {
    std::size_t at = form.find(name + "=");
    std::size_t end = form.find('&', at);
    if (end == std::string::npos)
        end = form.size();
    return form.substr(0, at) + name + "=" + value + form.substr(end);
}

TEST(CgiForm, BothFormsGiveTheSameQueryFile) {
    const std::string expected = "Epoch=2000\n"
                                 "Minimal ascension= 10:00:00\n"
                                 "Maximal ascension= 14:30:0\n"
                                 "Minimal declination=-5:0:0\n"
                                 "Maximal declination=+45:30:0\n"
                                 "Minimal redshift= 0.5\n"
                                 "Maximal redshift= 3\n";
    for (const std::string& data : {good, good_old}) {
        query_fields fields;
        std::string why;
        ASSERT_EQ(decode_form(data, fields, why), form_ok) << why;
        EXPECT_EQ(query_form_text(fields), expected) << data;
    }
    // Fields may come in any order, and empty pairs are ignored.
    query_fields fields;
    std::string why;
    std::string reordered = "z_max=3&&" + good.substr(0, good.rfind("&z_max")) + "&";
    ASSERT_EQ(decode_form(reordered, fields, why), form_ok) << why;
    ASSERT_EQ(decode_form(with("z_max", "1.5e%2B2"), fields, why), form_ok) << why;
    EXPECT_EQ(fields.entry[f_z_max], "1.5e+2");
    ASSERT_EQ(decode_form(with("z_min", "+-0.001+"), fields, why), form_ok) << why; // blueshift
    EXPECT_EQ(fields.entry[f_z_min], "-0.001");
    EXPECT_EQ(fields.value[f_dec_min], "-5 0 0"); // kept as sent, to fill the form again
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
        {good + "&ra_min_h=1", form_malformed},                 // the two forms mixed
        {good_old.substr(0, good_old.find("&dec_max_sign")) +
             good_old.substr(good_old.find("&dec_max_d")),
         form_malformed},                      // the earlier form, a sign missing
        {good + "&novalue", form_malformed},   // a pair without "="
        {with("z_max", "3%"), form_malformed}, // escape cut short
        {with("z_max", "3%4"), form_malformed},
        {with("z_max", "%zz"), form_malformed},
        {with("z_max", "3%00"), form_malformed},   // NUL byte
        {with("z_max", "3%0A"), form_malformed},   // line end: would add an entry
        {with("z_max", "%C3%A9"), form_malformed}, // non-ASCII
        {with("z_max", "%C2"), form_malformed},    // half a degree sign
        {with("z_max", "%B0"), form_malformed},
        {good + "&z%C2%B0=1", form_malformed}, // a degree sign in a name
        {with("z_max", std::string(33, '1')), form_oversized},
        {good + "&" + std::string(form_limit, 'a'), form_oversized},
    };
    for (const refused& each : cases) {
        query_fields fields;
        std::string why;
        EXPECT_EQ(decode_form(each.data, fields, why), each.result) << each.data.substr(0, 200);
        EXPECT_FALSE(why.empty());
        EXPECT_EQ(why.find("dec_max_sign"), std::string::npos) << why;
    }
}

// A field that does not hold what its label asks for is refused with the label and a
// short reason, in the field's own error and in `why`; no other field is marked.
TEST(CgiForm, NamesAWrongFieldByItsLabel) {
    struct wrong {
        std::string data;
        int field;
        std::string reason;
    };
    const std::string not_number = field_reasons::not_number;
    const std::vector<wrong> cases = {
        {with("epoch", "2001"), f_epoch, field_reasons::epoch},
        {with("ra_min", "13%3A60%3A00"), f_ra_min, bound_reasons::minutes},
        {with("ra_min_m", "60", good_old), f_ra_min, bound_reasons::minutes},
        {with("ra_max", "24%3A00%3A01"), f_ra_max, bound_reasons::hours},
        {with("ra_max_s", "60", good_old), f_ra_max, bound_reasons::seconds},
        {with("dec_min", "-91"), f_dec_min, bound_reasons::degrees},
        {with("dec_min", ""), f_dec_min, bound_reasons::empty},
        {with("dec_min_sign", "", good_old), f_dec_min, field_reasons::sign},
        {with("dec_min_sign", "1", good_old), f_dec_min, field_reasons::sign},
        {with("dec_min_sign", "+", good_old), f_dec_min, field_reasons::sign}, // a space
        {with("dec_min_sign", "%2B%2B", good_old), f_dec_min, field_reasons::sign},
        {with("dec_max_d", "4x", good_old), f_dec_max, bound_reasons::not_declination},
        {with("ra_min_h", "..%2F..%2Fetc", good_old), f_ra_min, bound_reasons::not_ascension},
        {with("ra_max", "%3Cb%3E"), f_ra_max, bound_reasons::not_ascension},
        {with("z_max", "0.4"), f_z_max, field_reasons::redshift_order},
        {with("z_max", "3%3D"), f_z_max, not_number}, // "=" would shift the entries
        {with("z_max", "%2E"), f_z_max, not_number},
        {with("z_max", "inf"), f_z_max, not_number},
        {with("z_max", "nan"), f_z_max, not_number},
        {with("z_max", "0x10"), f_z_max, not_number},
        {with("z_max", "1e"), f_z_max, not_number},
        {with("z_max", "--1"), f_z_max, not_number},
        {with("z_min", ""), f_z_min, not_number},
        {with("ra_max", "9h"), f_ra_max, field_reasons::ascension_order},
        {with("ra_max", "149.99d"), f_ra_max, field_reasons::ascension_order},
        {with("ra_max", "217.5"), f_ra_max, bound_reasons::bare_ascension},
        {with("z_max", "3%C2%B0"), f_z_max, not_number},
        {with("dec_max", "-5%3A00%3A01"), f_dec_max, field_reasons::declination_order},
    };
    for (const wrong& each : cases) {
        SCOPED_TRACE(each.data);
        query_fields fields;
        std::string why;
        int result = decode_form(each.data, fields, why);
        ASSERT_EQ(result, form_invalid);
        EXPECT_EQ(why, std::string(field_labels[each.field]) + ": " + each.reason + "\n");
        for (int i = 0; i < field_count; i++)
            EXPECT_EQ(fields.error[i].empty(), i != each.field) << field_names[i];
    }
    // Every wrong field is named, in the order of the form.
    query_fields fields;
    std::string why;
    ASSERT_EQ(decode_form(with("z_min", "x", with("ra_min", "25h")), fields, why), form_invalid);
    EXPECT_EQ(why, "Minimal right ascension: " + std::string(bound_reasons::hours) +
                       "\nMinimal redshift: " + not_number + "\n");
}

// Bounds as visitors type them: the entry galsift is given and the value it compares, or
// the reason it is refused.
TEST(CgiForm, BoundTexts) {
    struct bound_case {
        const char* text;
        bool declination;
        const char* entry;  // sign (a declination's), then the three parts
        double value;       // seconds
        const char* reason; // nullptr for a bound that is accepted
    };
    using namespace bound_reasons;
    const bound_case cases[] = {
        {"13:04:50.5", false, "13:04:50.5", 47090.5, nullptr},
        {"13 04 50.5", false, "13:04:50.5", 47090.5, nullptr},
        {"13h04m50.5s", false, "13:04:50.5", 47090.5, nullptr},
        {" 13h 04m 50.5s ", false, "13:04:50.5", 47090.5, nullptr},
        {"13h", false, "13:0:0", 46800, nullptr},
        {"13:04", false, "13:04:0", 47040, nullptr},
        {"13.0807h", false, "13:4:50.52", 47090.52, nullptr}, // decimal hours
        {"0.000001H", false, "0:0:0.0036", 0.0036, nullptr},
        {"23.9999999999h", false, "24:0:0", 86400, nullptr},   // cut to microseconds
        {"187.5d", false, "12:30:0", 45000, nullptr},          // decimal degrees
        {" 187.5\xC2\xB0 ", false, "12:30:0", 45000, nullptr}, // the degree sign
        {"196.2104D", false, "13:4:50.496", 47090.496, nullptr},
        {"0.0000001d", false, "0:0:0.000024", 0.000024, nullptr},
        {"360d", false, "24:0:0", 86400, nullptr},
        {"24:00:00", false, "24:00:00", 86400, nullptr},
        {"13:59:59.999", false, "13:59:59.999", 50399.999, nullptr},
        {"1.5e1:0:0", false, "1.5e1:0:0", 54000, nullptr},
        {"+12:30:00", true, "+12:30:00", 45000, nullptr},
        {"-00:30:00", true, "-00:30:00", -1800, nullptr},
        {"-0 30 0", true, "-0:30:0", -1800, nullptr},
        {"12d30m00s", true, "+12:30:00", 45000, nullptr},
        {"12d30'00\"", true, "+12:30:00", 45000, nullptr},
        {"-12\xC2\xB0"
         "30'",
         true, "-12:30:0", -45000, nullptr},
        {"12.5", true, "+12:30:0", 45000, nullptr}, // a declination's unit goes without saying
        {"- 0.5", true, "-0:30:0", -1800, nullptr},
        {"-90", true, "-90:0:0", -324000, nullptr},
        {"90:00:00", true, "+90:00:00", 324000, nullptr},
        {"", false, nullptr, 0, empty},
        {" \t", true, nullptr, 0, empty},
        {"13:60:00", false, nullptr, 0, minutes},
        {"13:04:60", false, nullptr, 0, seconds},
        {"13:59.5:00", false, nullptr, 0, minutes}, // as galsift: minutes up to 59
        {"24:00:01", false, nullptr, 0, hours},
        {"23.5:00:00", false, nullptr, 0, hours}, // galsift's rule for the whole part
        {"24.5h", false, nullptr, 0, hours},
        {"1e999h", false, nullptr, 0, hours},
        {"360.0001d", false, nullptr, 0, ascension_degrees},
        {"1e999d", false, nullptr, 0, ascension_degrees},
        {"12.5", false, nullptr, 0, bare_ascension}, // hours or degrees? say which
        {"187.5", false, nullptr, 0, bare_ascension},
        {" 0 ", false, nullptr, 0, bare_ascension},
        {"90:00:01", true, nullptr, 0, degrees},
        {"-91", true, nullptr, 0, degrees},
        {"+13:04:50", false, nullptr, 0, not_ascension}, // no sign on a right ascension
        {"13:04:", false, nullptr, 0, not_ascension},
        {"13::04", false, nullptr, 0, not_ascension},
        {"13:04:50:1", false, nullptr, 0, not_ascension},
        {"13d04m", false, nullptr, 0, not_ascension}, // a declination's mark
        {"12\xC2\xB0"
         "30m",
         false, nullptr, 0, not_ascension},
        {"187.5 d", false, nullptr, 0, not_ascension},
        {"-5d", false, nullptr, 0, not_ascension},
        {"187.5\xC2", false, nullptr, 0, not_ascension}, // half a degree sign
        {"13m", false, nullptr, 0, not_ascension},       // a mark out of place
        {"13h04m50.5s x", false, nullptr, 0, not_ascension},
        {"13,5", false, nullptr, 0, not_ascension},
        {"13-04-50", false, nullptr, 0, not_ascension},
        {"0x10", false, nullptr, 0, not_ascension},
        {"+-5", true, nullptr, 0, not_declination},
        {"5-", true, nullptr, 0, not_declination},
        {"12:-30:00", true, nullptr, 0, not_declination},
        {"12h30m", true, nullptr, 0, not_declination},
    };
    for (const bound_case& each : cases) {
        SCOPED_TRACE(each.text);
        bound_text bound;
        const char* reason = read_bound(each.text, each.declination, bound);
        if (each.reason) {
            EXPECT_STREQ(reason, each.reason);
            continue;
        }
        ASSERT_EQ(reason, nullptr) << reason;
        std::string entry = (each.declination ? std::string(1, bound.sign) : "") + bound.part[0] +
                            ":" + bound.part[1] + ":" + bound.part[2];
        EXPECT_EQ(entry, each.entry);
        EXPECT_DOUBLE_EQ(bound.value, each.value);
    }
}

class CgiQueryText : public scratch_dir {};

// galsift reads the form the front end writes entry for entry, with the values the front
// end compared; and it refuses what the front end refuses for a limit.
TEST_F(CgiQueryText, GalsiftAgreesWithTheFrontEnd) {
    struct agreement {
        const char* ra_min; // the one bound that varies
        bool accepted;
    };
    const agreement cases[] = {
        {"10:00:00", true},   {"13.0807h", true},    {"0h", true},        {"187.5d", true},
        {"13:59.5:0", false}, {"23:59:59.99", true}, {"13:60:00", false}, {"13:04:60", false},
        {"23.5:0:0", false},  {"25:00:00", false},
    };
    for (const agreement& each : cases) {
        SCOPED_TRACE(each.ra_min);
        query_fields fields;
        std::string why;
        std::string data = with("ra_min", each.ra_min, with("ra_max", "24h"));
        int result = decode_form(data, fields, why);
        ASSERT_EQ(result == form_ok, each.accepted) << why;
        if (!each.accepted) { // write the bound as it was typed, for galsift to judge
            fields.entry[f_ra_min] = each.ra_min;
        }
        for (int i = 0; i < field_count; i++) {
            if (i != f_ra_min) {
                ASSERT_FALSE(fields.entry[i].empty());
            }
        }
        write_file("query.frm", query_form_text(fields));
        reset_program_state();
        testing::internal::CaptureStdout();
        EXPECT_EQ(init_query_parameters(), each.accepted ? 1 : 0);
        std::string said = testing::internal::GetCapturedStdout();
        EXPECT_EQ(said.empty(), each.accepted) << said;
        bound_text bound;
        if (each.accepted) {
            ASSERT_EQ(read_bound(each.ra_min, false, bound), nullptr);
            EXPECT_EQ(minimal_ascension.value(), bound.value);
            EXPECT_EQ(epoch, 2000);
            EXPECT_EQ(minimal_declination.value(), -18000);
            EXPECT_EQ(maximal_declination.value(), 163800);
            EXPECT_EQ(maximal_ascension.value(), 86400);
            EXPECT_EQ(min_redshift, 0.5);
            EXPECT_EQ(max_redshift, 3);
        }
    }
}

// The form page shows a visitor's texts escaped and each refusal beside its field; the
// site's own query.htm is this page with the default fields.
TEST(CgiFormPage, RefilledAndEscaped) {
    query_fields fields;
    std::string why;
    ASSERT_EQ(decode_form(with("ra_max", "%22%3E%3Cscript%3Ex%3C%2Fscript%3E"), fields, why),
              form_invalid);
    std::string page = form_page("The query was refused", fields, "a <b> message & more\n");
    EXPECT_EQ(page.find("<script"), std::string::npos);
    EXPECT_NE(page.find("value=\"&quot;&gt;&lt;script&gt;x&lt;/script&gt;\" aria-invalid"),
              std::string::npos);
    EXPECT_NE(page.find("<pre id=\"messages\">a &lt;b&gt; message &amp; more\n</pre>"),
              std::string::npos);
    EXPECT_NE(page.find("<td id=\"ra_max_note\"><font color=\"#c00000\"><b>Maximal right "
                        "ascension: " +
                        std::string(bound_reasons::not_ascension) + "</b></font></td>"),
              std::string::npos);
    EXPECT_NE(page.find("value=\"-5 0 0\""), std::string::npos); // the others kept as sent
    ASSERT_EQ(decode_form(with("ra_max", "217.5%C2%B0%3C"), fields, why), form_invalid);
    EXPECT_NE(form_page(form_title, fields, "").find("value=\"217.5&#176;&lt;\""),
              std::string::npos);
    EXPECT_NE(page.find("method=\"get\""), std::string::npos);
    ASSERT_EQ(decode_form(with("epoch", "1950"), fields, why), form_ok);
    EXPECT_NE(form_page(form_title, fields, "").find("<option value=\"1950\" selected>"),
              std::string::npos);

    std::ifstream site_form(GALSIFT_EXAMPLE_DIR "/query.htm", std::ios::binary);
    std::string site_page(std::istreambuf_iterator<char>(site_form), {});
    EXPECT_EQ(site_page, form_page(form_title, default_fields(), ""))
        << "example/query.htm differs from the front end's form";
}

TEST(CgiResponse, HeadersOfEveryPage) {
    const std::string too_long(41, 'a');
    struct charset_case {
        const char* setting;
        const char* named;
    };
    const charset_case charsets[] = {
        {nullptr, "UTF-8"},
        {"", "UTF-8"},
        {"ISO-8859-1", "ISO-8859-1"},
        {"windows-1252", "windows-1252"},
        {"UTF-8\r\nX: 1", "UTF-8"},
        {"a;b", "UTF-8"},
        {"x y", "UTF-8"},
        {too_long.c_str(), "UTF-8"},
    };
    for (const charset_case& each : charsets)
        EXPECT_EQ(charset_setting(each.setting), each.named) << (each.setting ? each.setting : "");

    page_charset = "ISO-8859-1";
    query_fields fields = default_fields();
    const std::string answers[] = {page_response("<p>page</p>"),
                                   form_response(400, "The query was refused", fields, ""),
                                   messages_response(500, "Failed", "why\n")};
    for (const std::string& answer : answers) {
        std::string head = answer.substr(0, answer.find("\r\n\r\n") + 2);
        EXPECT_NE(head.find("\r\nContent-Type: text/html; charset=ISO-8859-1\r\n"),
                  std::string::npos)
            << head;
        EXPECT_NE(head.find("\r\nX-Content-Type-Options: nosniff\r\n"), std::string::npos);
        EXPECT_NE(head.find("\r\nReferrer-Policy: no-referrer\r\n"), std::string::npos);
        EXPECT_NE(head.find("\r\nContent-Security-Policy: default-src 'none'; "),
                  std::string::npos);
        EXPECT_EQ(head.find("script-src"), std::string::npos);
    }
    EXPECT_NE(answers[0].find("form-action 'none'"), std::string::npos);
    EXPECT_EQ(answers[0].substr(answers[0].size() - 11), "<p>page</p>");
    page_charset = default_charset;
}

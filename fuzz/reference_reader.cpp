// The reference reading of the query form, the style file and the catalogue, with the C
// library's formatted input, one conversion at a time.
#include "reference_reader.h"

#include "fuzz_support.h"

#include "flow/messages.h"

#include <cmath>
#include <cstring>

static const int shift_limit = 1001; // characters a stop search reads at the most

// Opens `name` and keeps a copy of its bytes. Returns false when it cannot be read.
bool reference_input::open(const char* name) {
    bool found;
    data = read_file(name, found);
    file = found ? std::fopen(name, "rb") : nullptr;
    return file != nullptr;
}

// Closes the file; the copy of its bytes stays.
void reference_input::close() {
    if (file)
        std::fclose(file);
    file = nullptr;
}

// isspace() of the C locale.
static bool space(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Reads "%c" at a time until `stop`, at most shift_limit characters; notes the
// stop-signal message when the stop was not found.
int reference_shift(reference_input& in, char stop) {
    for (int n = 0; n < shift_limit; n++) {
        char c;
        if (std::fscanf(in.file, "%c", &c) != 1)
            break;
        if (c == stop)
            return 0;
    }
    in.messages += messages::stop_signal_head;
    in.messages += stop;
    in.messages += messages::stop_signal_tail;
    return 1;
}

// Whether the bytes from `at` on, after white space and a sign, begin like "inf" or
// "nan": a failed "%lg" there is where the C library swallows one byte more.
static bool begins_like_word(const std::string& data, long at) {
    std::size_t i = static_cast<std::size_t>(at);
    while (i < data.size() && space(static_cast<unsigned char>(data[i])))
        i++;
    if (i < data.size() && (data[i] == '+' || data[i] == '-'))
        i++;
    if (i >= data.size())
        return false;
    char c = static_cast<char>(data[i] | 0x20);
    return c == 'i' || c == 'n';
}

// "%lg" into `value`; the result of the conversion.
static int read_double(reference_input& in, double& value) {
    long before = std::ftell(in.file);
    double got;
    int converted = std::fscanf(in.file, "%lg", &got);
    if (converted == 1)
        value = got;
    else if (converted == 0 && begins_like_word(in.data, before))
        in.diverged = true;
    return converted;
}

// "%d" into `value`, except that digits beyond the 32-bit range count as unreadable and
// leave `value` as it was (the conversion then counts as failed).
static int read_int(reference_input& in, int& value) {
    long before = std::ftell(in.file);
    int got;
    int converted = std::fscanf(in.file, "%d", &got);
    if (converted != 1)
        return converted;
    long after = std::ftell(in.file);
    const std::string& d = in.data;
    std::size_t i = static_cast<std::size_t>(before), end = static_cast<std::size_t>(after);
    while (i < end && space(static_cast<unsigned char>(d[i])))
        i++;
    bool negative = false;
    if (d[i] == '+' || d[i] == '-')
        negative = d[i++] == '-';
    long long magnitude = 0;
    for (; i < end; i++) {
        magnitude = magnitude * 10 + (d[i] - '0');
        if (magnitude > 2147483648LL)
            return 0;
    }
    if (!negative && magnitude > 2147483647LL)
        return 0;
    value = static_cast<int>(negative ? -magnitude : magnitude);
    return 1;
}

// A white-space directive.
static void skip_space(reference_input& in) {
    (void)std::fscanf(in.file, " ");
}

// Hours (degrees), "%*c", minutes, "%*c", seconds, then white space; each its own read.
// Returns false once the reading has diverged.
static bool read_angle(reference_input& in, arc& angle) {
    read_double(in, angle.degrees);
    (void)std::fscanf(in.file, "%*c");
    read_double(in, angle.minutes);
    (void)std::fscanf(in.file, "%*c");
    read_double(in, angle.seconds);
    skip_space(in);
    return !in.diverged;
}

// The seven entries of the query form, each after its "="; stops at a divergence.
void reference_read_query(reference_input& in, reference_query& query) {
    reference_shift(in, '=');
    if (read_int(in, query.epoch) == 1)
        skip_space(in);
    query.fields_read = 1;
    for (int n = 0; n < 2; n++) {
        reference_shift(in, '=');
        if (!read_angle(in, query.bounds[n]))
            return;
        query.fields_read++;
    }
    for (int n = 0; n < 2; n++) {
        reference_shift(in, '=');
        (void)std::fscanf(in.file, "%c", &query.signs[n]);
        if (!read_angle(in, query.bounds[2 + n]))
            return;
        query.fields_read++;
    }
    for (int n = 0; n < 2; n++) {
        reference_shift(in, '=');
        read_double(in, query.redshifts[n]);
        skip_space(in);
        if (in.diverged && n == 0) // past the last field a lost byte changes nothing
            return;
        query.fields_read++;
    }
}

// The six entries of the style file, each after its "=".
void reference_read_style(reference_input& in, reference_style& style) {
    int* numbers[3] = {&style.border, &style.width, &style.height};
    char* characters[3] = {&style.colors, &style.header, &style.cells};
    for (int* number : numbers) {
        reference_shift(in, '=');
        if (read_int(in, *number) == 1)
            skip_space(in);
    }
    for (char* character : characters) {
        reference_shift(in, '=');
        if (std::fscanf(in.file, "%c", character) == 1)
            skip_space(in);
    }
}

// A text field: "%c" at a time up to "$", the first 99 bytes kept, the end of the file
// ending it. Returns how many bytes are kept.
static std::size_t read_text(reference_input& in, char (&text)[100]) {
    const char stop_of_text = '$';
    std::size_t held = 0;
    char c;
    while (std::fscanf(in.file, "%c", &c) == 1 && c != stop_of_text) {
        if (held < 99)
            text[held++] = c;
    }
    text[held] = 0;
    return held;
}

// Every entry of the catalogue until a first field does not convert.
void reference_read_catalogue(reference_input& in, std::vector<reference_record>& records,
                              std::size_t& complete) {
    complete = 0;
    double hours;
    for (;;) {
        bool diverged = in.diverged;
        if (read_double(in, hours) != 1) {
            in.diverged = diverged; // the list ends here in both readings alike
            return;
        }
        records.emplace_back();
        reference_record& entry = records.back();
        entry.ascension.degrees = hours;
        reference_shift(in, '$');
        double* numbers[6] = {&entry.ascension.minutes,   &entry.ascension.seconds,
                              &entry.declination.degrees, &entry.declination.minutes,
                              &entry.declination.seconds, &entry.redshift};
        for (double* number : numbers) {
            read_double(in, *number);
            reference_shift(in, '$');
        }
        if (in.diverged)
            return;
        entry.identification_length = read_text(in, entry.identification);
        entry.reference_length = read_text(in, entry.reference);
        skip_space(in);
        complete = records.size();
    }
}

// The range check of one corner: declination and right ascension, NaN out of range.
static int corner_verdict(const arc& declination, const arc& ascension) {
    const arc& d = declination;
    double degrees = std::fabs(d.degrees);
    int valid = 1;
    if (d.minutes < 0 || d.seconds < 0)
        valid = 0;
    if (degrees > 89 || d.minutes > 59 || d.seconds >= 60)
        valid = 0;
    if (degrees == 90 && d.minutes == 0 && d.seconds == 0)
        valid = 1;
    if (std::isnan(degrees) || std::isnan(d.minutes) || std::isnan(d.seconds))
        valid = 0;
    const arc& a = ascension;
    int valid_ascension = 1;
    if (a.degrees < 0 || a.minutes < 0 || a.seconds < 0)
        valid_ascension = 0;
    if (a.degrees > 23 || a.minutes > 59 || a.seconds >= 60)
        valid_ascension = 0;
    if (a.degrees == 24 && a.minutes == 0 && a.seconds == 0)
        valid_ascension = 1;
    if (std::isnan(a.degrees) || std::isnan(a.minutes) || std::isnan(a.seconds))
        valid_ascension = 0;
    return valid * valid_ascension;
}

// The signed angle in seconds: the two products and their sum, then the seconds, then
// the sign.
static double seconds_of(const arc& angle) {
    double whole = angle.degrees * 3600.0 + angle.minutes * 60.0;
    whole = whole + angle.seconds;
    return angle.sign * whole;
}

// The checks of the query form, in their order, with their messages.
int reference_check_query(const arc bounds[4], const char signs[2], const double redshifts[2],
                          std::string& written) {
    int result = 1;
    if (signs[0] != '+' && signs[0] != '-') {
        written += messages::minimal_sign_lost;
        result = 0;
    }
    if (signs[1] != '+' && signs[1] != '-') {
        written += messages::maximal_sign_lost;
        result = 0;
    }
    result *= corner_verdict(bounds[2], bounds[0]) * corner_verdict(bounds[3], bounds[1]);
    if (std::isnan(redshifts[0]) || std::isnan(redshifts[1]))
        result = 0;
    if (result == 0) {
        written += messages::usage_head;
        written += messages::usage_coordinates;
        written += messages::usage_redshift;
        written += messages::usage_fields;
    }
    if (seconds_of(bounds[2]) > seconds_of(bounds[3])) {
        written += messages::declination_order;
        result = 0;
    }
    if (seconds_of(bounds[0]) > seconds_of(bounds[1])) {
        written += messages::ascension_order;
        result = 0;
    }
    if (redshifts[0] > redshifts[1]) {
        written += messages::redshift_order;
        result = 0;
    }
    return result;
}

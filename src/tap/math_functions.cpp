// ADQL's mathematical functions as SQL functions "adql_<name>": every result a double, as
// ADQL defines them, whatever math functions the SQLite at hand was built with.
//   LOG is the natural logarithm, LOG10 the decimal one; MOD(x, y) has the sign of x;
//   ROUND(x, n) rounds halves away from zero, TRUNCATE(x, n) toward zero, to n decimal
//   places (n < 0: to the left of the point); RAND() is uniform in [0, 1).
#include "tap/sql_functions.h"
#include "vo/sky_position.h"

#include <sqlite3.h>

#include <cmath>
#include <cstdint>

namespace {

const int pure = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;

// Whether one of the `count` arguments is NULL; if so, the result is set to NULL.
bool null_argument(sqlite3_context* context, int count, sqlite3_value** values) {
    for (int n = 0; n < count; n++)
        if (sqlite3_value_type(values[n]) == SQLITE_NULL) {
            sqlite3_result_null(context);
            return true;
        }
    return false;
}

double degrees(double x) {
    return x / radians_per_degree;
}
double radians(double x) {
    return x * radians_per_degree;
}
double cot(double x) {
    return 1 / std::tan(x);
}
double log_e(double x) {
    return std::log(x);
}
double log_10(double x) {
    return std::log10(x);
}

struct one_argument {
    const char* name;
    double (*function)(double);
};

const one_argument one_argument_functions[] = {
    {"adql_ceiling", [](double x) { return std::ceil(x); }},
    {"adql_floor", [](double x) { return std::floor(x); }},
    {"adql_degrees", degrees},
    {"adql_radians", radians},
    {"adql_exp", [](double x) { return std::exp(x); }},
    {"adql_log", log_e},
    {"adql_log10", log_10},
    {"adql_sqrt", [](double x) { return std::sqrt(x); }},
    {"adql_sin", [](double x) { return std::sin(x); }},
    {"adql_cos", [](double x) { return std::cos(x); }},
    {"adql_tan", [](double x) { return std::tan(x); }},
    {"adql_cot", cot},
    {"adql_asin", [](double x) { return std::asin(x); }},
    {"adql_acos", [](double x) { return std::acos(x); }},
    {"adql_atan", [](double x) { return std::atan(x); }},
};

// The function of the table entry registered as the user data.
void call_one(sqlite3_context* context, int count, sqlite3_value** values) {
    if (null_argument(context, count, values))
        return;
    auto entry = static_cast<const one_argument*>(sqlite3_user_data(context));
    sqlite3_result_double(context, entry->function(sqlite3_value_double(values[0])));
}

// The functions of two arguments and PI().
void call_mod(sqlite3_context* context, int count, sqlite3_value** values) {
    if (!null_argument(context, count, values))
        sqlite3_result_double(
            context, std::fmod(sqlite3_value_double(values[0]), sqlite3_value_double(values[1])));
}

void call_power(sqlite3_context* context, int count, sqlite3_value** values) {
    if (!null_argument(context, count, values))
        sqlite3_result_double(
            context, std::pow(sqlite3_value_double(values[0]), sqlite3_value_double(values[1])));
}

void call_atan2(sqlite3_context* context, int count, sqlite3_value** values) {
    if (!null_argument(context, count, values))
        sqlite3_result_double(
            context, std::atan2(sqlite3_value_double(values[0]), sqlite3_value_double(values[1])));
}

void call_pi(sqlite3_context* context, int, sqlite3_value**) {
    sqlite3_result_double(context, 180 * radians_per_degree);
}

// 53 random bits as a double in [0, 1).
void call_rand(sqlite3_context* context, int, sqlite3_value**) {
    std::uint64_t bits;
    sqlite3_randomness(sizeof bits, &bits);
    sqlite3_result_double(context, static_cast<double>(bits >> 11) * 0x1p-53);
}

// How ROUND and TRUNCATE make a whole number.
struct whole_rule {
    double (*to_whole)(double);
};
const whole_rule round_half_away{[](double x) { return std::round(x); }};
const whole_rule truncate_toward_zero{[](double x) { return std::trunc(x); }};

// x made whole by `rule` at n decimal places (n < 0: at 10^-n). Places beyond a double's
// reach leave x as it is, or give 0 to the left.
double at_places(double x, sqlite3_int64 n, const whole_rule& rule) {
    if (n > 300 || n < -300)
        return n > 0 ? x : 0 * x;
    double scale = std::pow(10.0, static_cast<double>(n < 0 ? -n : n));
    double result = n < 0 ? rule.to_whole(x / scale) * scale : rule.to_whole(x * scale) / scale;
    return std::isfinite(result) ? result : x;
}

// ROUND or TRUNCATE, by the rule registered as the user data; n is 0 when not given.
void call_places(sqlite3_context* context, int count, sqlite3_value** values) {
    if (null_argument(context, count, values))
        return;
    auto rule = static_cast<const whole_rule*>(sqlite3_user_data(context));
    sqlite3_int64 n = count == 2 ? sqlite3_value_int64(values[1]) : 0;
    sqlite3_result_double(context, at_places(sqlite3_value_double(values[0]), n, *rule));
}

} // namespace

// Registers every adql_<name> mathematical function on `db`.
int register_math_functions(sqlite3* db) {
    int status = SQLITE_OK;
    for (const one_argument& f : one_argument_functions)
        if (status == SQLITE_OK)
            status = sqlite3_create_function(db, f.name, 1, pure, const_cast<one_argument*>(&f),
                                             call_one, nullptr, nullptr);
    struct {
        const char* name;
        int arguments;
        int flags;
        void (*call)(sqlite3_context*, int, sqlite3_value**);
        const whole_rule* rule;
    } const others[] = {
        {"adql_mod", 2, pure, call_mod, nullptr},
        {"adql_power", 2, pure, call_power, nullptr},
        {"adql_atan2", 2, pure, call_atan2, nullptr},
        {"adql_pi", 0, pure, call_pi, nullptr},
        {"adql_rand", 0, SQLITE_UTF8 | SQLITE_INNOCUOUS, call_rand, nullptr},
        {"adql_round", 1, pure, call_places, &round_half_away},
        {"adql_round", 2, pure, call_places, &round_half_away},
        {"adql_truncate", 1, pure, call_places, &truncate_toward_zero},
        {"adql_truncate", 2, pure, call_places, &truncate_toward_zero},
    };
    for (const auto& f : others)
        if (status == SQLITE_OK)
            status =
                sqlite3_create_function(db, f.name, f.arguments, f.flags,
                                        const_cast<whole_rule*>(f.rule), f.call, nullptr, nullptr);
    return status;
}

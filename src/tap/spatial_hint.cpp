// Handing a query's position constraints to the spatial index.
//
// A term of the top AND chain of WHERE or of a join's ON that restricts the position
// columns of an indexed table to a region:
//   1 = CONTAINS(POINT(t.ra, t.dec), region)    (either side of "=", or INTERSECTS)
//   DISTANCE(POINT(t.ra, t.dec), POINT(a, b)) < r   (or <=, or r > / r >=, or the four
//                                                    numbers form, either point first)
// gets, beside its exact test, the constraint of the index's hidden columns to a circle
// holding the region: the circle itself, a box's corners' circle, a polygon's bounding
// circle, each widened by 1e-9 degrees against rounding. A box or polygon needs constant
// sizes and vertices for it; a circle's centre and radius, and a box's centre, may be any
// expressions over the other tables of the query (a cross-match).
//
// The index gets the constraint only where SQLite can hand it over: the indexed table
// must be able to stand in the inner loop of every table the circle reads. So in WHERE,
// no outer join may lie above it or them; in the ON of a join, it must stand below that
// join through inner joins only, on the right of a LEFT JOIN, the left of a RIGHT JOIN,
// on either side of an inner one, with no outer join above.
#include "tap/adql_translate.h"
#include "tap/spherical_geometry.h"

#include <cstdlib>

namespace {

// Widening of every circle handed to the index, in degrees: far above the rounding of
// its centre and radius, far below what a catalogue's positions tell apart.
const double widening = 1e-9;

bool is_call(const adql_node& node, const char* name) {
    return node.kind == node_kind::call && node.text == name;
}

// One way of reading a term as a position constraint: the column pair, and the region.
struct reading {
    const adql_node* ra = nullptr;
    const adql_node* dec = nullptr;
    const adql_node* region = nullptr;    // a CIRCLE, BOX or POLYGON call; null for a distance
    const adql_node* centre_ra = nullptr; // a distance's other point
    const adql_node* centre_dec = nullptr;
    const adql_node* radius = nullptr; // a distance's bound
};

// The coordinates of POINT(a, b).
bool point_nodes(const adql_node& node, const adql_node*& a, const adql_node*& b) {
    if (!is_call(node, "POINT"))
        return false;
    a = &node.children[0];
    b = &node.children[1];
    return true;
}

// The readings of `term`: none, one (CONTAINS, INTERSECTS) or two (DISTANCE, either point
// being the columns).
std::vector<reading> readings_of(const adql_node& term) {
    std::vector<reading> found;
    if (term.kind != node_kind::compare)
        return found;
    const adql_node& left = term.children[0];
    const adql_node& right = term.children[1];
    if (term.text == "=") {
        bool one_left = left.kind == node_kind::number && left.text == "1" && !left.real;
        bool one_right = right.kind == node_kind::number && right.text == "1" && !right.real;
        const adql_node& test = one_left ? right : left;
        if (!(one_left || one_right) || !(is_call(test, "CONTAINS") || is_call(test, "INTERSECTS")))
            return found;
        for (std::size_t p = 0; p < 2; p++) {
            reading r;
            const adql_node& region = test.children[1 - p];
            if (point_nodes(test.children[p], r.ra, r.dec) &&
                (is_call(region, "CIRCLE") || is_call(region, "BOX") ||
                 is_call(region, "POLYGON"))) {
                r.region = &test.children[1 - p];
                found.push_back(r);
            }
            if (is_call(test, "CONTAINS"))
                break;
        }
        return found;
    }
    bool below = term.text == "<" || term.text == "<=";
    bool above = term.text == ">" || term.text == ">=";
    const adql_node& distance = below ? left : right;
    if (!(below || above) || !is_call(distance, "DISTANCE"))
        return found;
    const adql_node* c[4];
    const std::vector<adql_node>& args = distance.children;
    if (args.size() == 4) {
        for (int n = 0; n < 4; n++)
            c[n] = &args[static_cast<std::size_t>(n)];
    } else if (!point_nodes(args[0], c[0], c[1]) || !point_nodes(args[1], c[2], c[3])) {
        return found;
    }
    for (int p = 0; p < 2; p++) {
        reading r;
        r.ra = c[2 * p];
        r.dec = c[2 * p + 1];
        r.centre_ra = c[2 - 2 * p];
        r.centre_dec = c[3 - 2 * p];
        r.radius = below ? &right : &left;
        found.push_back(r);
    }
    return found;
}

// The centre's coordinates and the sizes of a CIRCLE or BOX call, its POINT centre opened.
void centre_and_sizes(const adql_node& region, const adql_node*& a, const adql_node*& b,
                      std::vector<const adql_node*>& sizes) {
    std::size_t first = 2;
    if (!point_nodes(region.children[0], a, b)) {
        a = &region.children[0];
        b = &region.children[1];
    } else {
        first = 1;
    }
    for (std::size_t n = first; n < region.children.size(); n++)
        sizes.push_back(&region.children[n]);
}

// The vertices of a POLYGON whose coordinates are all constant numbers.
bool constant_vertices(const adql_node& region, std::vector<sky_position>& vertices) {
    std::vector<double> numbers;
    for (const adql_node& child : region.children) {
        const adql_node* a = &child;
        const adql_node* b = nullptr;
        double x, y;
        if (point_nodes(child, a, b)) {
            if (!constant_number(*a, x) || !constant_number(*b, y))
                return false;
            numbers.push_back(x);
            numbers.push_back(y);
        } else if (constant_number(child, x)) {
            numbers.push_back(x);
        } else {
            return false;
        }
    }
    for (std::size_t n = 0; n + 1 < numbers.size(); n += 2)
        vertices.push_back({numbers[n], numbers[n + 1]});
    return true;
}

} // namespace

// The value of `node` when it is a constant number: a literal, signed, or +, -, *, / of
// constants (a division by zero is no constant).
bool constant_number(const adql_node& node, double& value) {
    if (node.kind == node_kind::number) {
        value = std::strtod(node.text.c_str(), nullptr);
        return true;
    }
    double a, b;
    if (node.kind == node_kind::negate && constant_number(node.children[0], a)) {
        value = -a;
        return true;
    }
    if (node.kind != node_kind::arithmetic || !constant_number(node.children[0], a) ||
        !constant_number(node.children[1], b))
        return false;
    switch (node.text[0]) {
    case '+':
        value = a + b;
        return true;
    case '-':
        value = a - b;
        return true;
    case '*':
        value = a * b;
        return true;
    default:
        value = a / b;
        return b != 0;
    }
}

// Writes into `hint` the index's constraint for `term` of WHERE (`join` -1) or of the ON
// of join `join`, when the term is a position constraint that the index can take there;
// leaves it empty otherwise. Returns false only when a part fails to translate.
bool translator::spatial_hint(const adql_node& term, int join, std::string& hint) {
    for (const reading& r : readings_of(term)) {
        sql_value ra, dec;
        if (r.ra->kind != node_kind::column || r.dec->kind != node_kind::column ||
            !resolve_column(*r.ra, ra, false) || !resolve_column(*r.dec, dec, false) ||
            ra.entry < 0 || ra.entry != dec.entry)
            continue;
        const scope_entry& indexed = entries[static_cast<std::size_t>(ra.entry)];
        const tap_schema_table& table = table_of(ra.entry);
        if (table.ra_column < 0 || ra.column != table.ra_column || dec.column != table.dec_column)
            continue;

        const adql_node* a = r.centre_ra;
        const adql_node* b = r.centre_dec;
        std::vector<const adql_node*> sizes;
        if (r.region && !is_call(*r.region, "POLYGON"))
            centre_and_sizes(*r.region, a, b, sizes);
        std::string radius;
        double number, width, height;
        sql_value va, vb, vr;
        if (r.radius || is_call(*r.region, "CIRCLE")) {
            const adql_node& bound = r.radius ? *r.radius : *sizes[0];
            if (!value(bound, vr))
                return false;
            radius = constant_number(bound, number) ? real_literal(number + widening)
                                                    : "(" + vr.sql + ") + 1e-9";
        } else if (is_call(*r.region, "BOX")) {
            if (!constant_number(*sizes[0], width) || !constant_number(*sizes[1], height))
                continue;
            radius = real_literal(box_reach(width, height) + widening);
        } else {
            std::vector<sky_position> vertices;
            sky_position centre;
            double reach;
            if (!constant_vertices(*r.region, vertices) || !polygon_bounds(vertices, centre, reach))
                continue;
            va.sql = real_literal(centre.ascension);
            vb.sql = real_literal(centre.declination);
            radius = real_literal(reach + widening);
        }
        if (a && (!value(*a, va) || !value(*b, vb)))
            return false;

        // Whether the index can be handed the circle here.
        std::uint64_t reads = va.entries | vb.entries | vr.entries;
        int side = 0;
        bool usable = !(reads >> ra.entry & 1) && inner_path(ra.entry, join, side);
        if (join >= 0) {
            const scope_join& j = joins[static_cast<std::size_t>(join)];
            usable = usable && !j.under_outer &&
                     (j.kind == join_kind::inner || (j.kind == join_kind::left && side == 1) ||
                      (j.kind == join_kind::right && side == 0));
        }
        for (int e = 0; usable && e < static_cast<int>(entries.size()); e++) {
            if (!(reads >> e & 1))
                continue;
            int at = entries[static_cast<std::size_t>(e)].join;
            if (join < 0) {
                usable = inner_path(e, -1, side);
                continue;
            }
            while (at >= 0 && at != join)
                at = joins[static_cast<std::size_t>(at)].parent;
            usable = at == join;
        }
        if (!usable)
            continue;
        std::string alias = quoted_name(indexed.sql_alias) + ".";
        hint = alias + quoted_name(cone_ra_column) + " = (" + va.sql + ") AND " + alias +
               quoted_name(cone_dec_column) + " = (" + vb.sql + ") AND " + alias +
               quoted_name(cone_radius_column) + " = " + radius;
        return true;
    }
    return true;
}

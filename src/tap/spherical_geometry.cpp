// Circles, boxes and polygons on the sphere: membership and bounding circles.
#include "tap/spherical_geometry.h"

#include "vo/cone.h"

#include <algorithm>
#include <cassert>
#include <cmath>

namespace {

// How far outside a box's side or a polygon's edge a position still counts as on it, in
// radians: the margin the cone search gives its radius.
const double rim = 1e-14;

struct vector3 {
    double x = 0, y = 0, z = 0;
};

vector3 unit_vector(const sky_position& p) {
    double ra = p.ascension * radians_per_degree, dec = p.declination * radians_per_degree;
    return {std::cos(dec) * std::cos(ra), std::cos(dec) * std::sin(ra), std::sin(dec)};
}

double dot(const vector3& a, const vector3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

vector3 cross(const vector3& a, const vector3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

vector3 scaled(const vector3& a, double f) {
    return {a.x * f, a.y * f, a.z * f};
}

vector3 normalized(const vector3& a) {
    return scaled(a, 1 / std::sqrt(dot(a, a)));
}

sky_position position_of(const vector3& v) {
    double ra = std::atan2(v.y, v.x) / radians_per_degree;
    double dec = std::atan2(v.z, std::hypot(v.x, v.y)) / radians_per_degree;
    return {ra < 0 ? ra + 360 : ra, dec};
}

// The coordinates of `where` in the frame of `centre` (sky_position.h): along the centre's
// direction, east and north of it there.
vector3 local_frame(const sky_position& where, const sky_position& centre) {
    centred_direction direction = direction_from(centre, where);
    return {direction.toward, direction.east, direction.north};
}

// Half of a box's size, in degrees within [0, 90].
double half_size(double size) {
    return std::clamp(size / 2, 0.0, 90.0);
}

// Two unit vectors at right angles to `axis` and to each other.
void plane_axes(const vector3& axis, vector3& first, vector3& second) {
    vector3 helper = std::fabs(axis.z) < 0.9 ? vector3{0, 0, 1} : vector3{1, 0, 0};
    first = normalized(cross(helper, axis));
    second = cross(axis, first);
}

// The mean direction of `vertices`; false when some vertex lies 90 degrees or more from
// it (or the mean is undefined), so that no hemisphere about it holds them all.
bool mean_direction(const std::vector<sky_position>& vertices, vector3& mean) {
    vector3 sum;
    for (const sky_position& v : vertices) {
        vector3 u = unit_vector(v);
        sum = {sum.x + u.x, sum.y + u.y, sum.z + u.z};
    }
    double length = std::sqrt(dot(sum, sum));
    if (!(length > 1e-12))
        return false;
    mean = scaled(sum, 1 / length);
    for (const sky_position& v : vertices)
        if (!(dot(unit_vector(v), mean) > 1e-12))
            return false;
    return true;
}

struct plane_point {
    double x, y;
};

// Whether `p` lies on the segment from `a` to `b`, to within `rim` of its length.
bool on_segment(const plane_point& p, const plane_point& a, const plane_point& b) {
    double ex = b.x - a.x, ey = b.y - a.y, px = p.x - a.x, py = p.y - a.y;
    double length = std::hypot(ex, ey);
    if (std::fabs(ex * py - ey * px) > rim * std::max(length, 1.0))
        return false;
    double along = ex * px + ey * py;
    return along >= -rim && along <= length * length + rim;
}

} // namespace

// The angle between two positions in degrees, by the cone search's own distance.
double distance_degrees(const sky_position& from, const sky_position& to) {
    return angular_distance(from, to) / radians_per_degree;
}

// Whether `where` lies within `radius` degrees of `centre`, the rim included: the cone
// search's own test, so that both agree to the last bit.
bool in_circle(const sky_position& where, const sky_position& centre, double radius) {
    double distance;
    return inside_cone(cone{centre, radius}, where, distance);
}

// Whether `where` lies in the box of `width` and `height` degrees about `centre` (see the
// header). A NaN anywhere gives false.
bool in_box(const sky_position& where, const sky_position& centre, double width, double height) {
    vector3 local = local_frame(where, centre);
    double w = half_size(width) * radians_per_degree, h = half_size(height) * radians_per_degree;
    return local.x >= 0 && std::fabs(local.y) * std::cos(w) <= local.x * std::sin(w) + rim &&
           std::fabs(local.z) * std::cos(h) <= local.x * std::sin(h) + rim;
}

// Whether `where` lies in the polygon of `vertices` (see the header): polygon_inside,
// polygon_outside, or polygon_too_large when no hemisphere holds the vertices.
int in_polygon(const sky_position& where, const std::vector<sky_position>& vertices) {
    assert(vertices.size() >= 3);
    vector3 mean;
    if (!mean_direction(vertices, mean))
        return polygon_too_large;
    vector3 p = unit_vector(where);
    double depth = dot(p, mean);
    if (!(depth > 0))
        return polygon_outside;
    vector3 east, north;
    plane_axes(mean, east, north);
    auto project = [&](const vector3& v) {
        double d = dot(v, mean);
        return plane_point{dot(v, east) / d, dot(v, north) / d};
    };
    plane_point q = project(p);
    bool inside = false;
    for (std::size_t n = 0; n < vertices.size(); n++) {
        plane_point a = project(unit_vector(vertices[n]));
        plane_point b = project(unit_vector(vertices[(n + 1) % vertices.size()]));
        if (on_segment(q, a, b))
            return polygon_inside;
        if ((a.y > q.y) != (b.y > q.y) && q.x < a.x + (q.y - a.y) * (b.x - a.x) / (b.y - a.y))
            inside = !inside;
    }
    return inside ? polygon_inside : polygon_outside;
}

// The radius, in degrees, of the circle about a box's centre that holds the box: the
// distance of its corners. 180 when a half-size reaches 90 degrees.
double box_reach(double width, double height) {
    double w = half_size(width), h = half_size(height);
    if (w >= 90 || h >= 90)
        return 180;
    return std::atan(
               std::hypot(std::tan(w * radians_per_degree), std::tan(h * radians_per_degree))) /
           radians_per_degree;
}

// The corners of a box, north-east, south-east, south-west, north-west: counter-clockwise
// on the sky seen from inside. False when a half-size reaches 90 degrees (no corners).
bool box_corners(const sky_position& centre, double width, double height,
                 std::vector<sky_position>& corners) {
    double w = half_size(width), h = half_size(height);
    if (!(w < 90 && h < 90))
        return false;
    vector3 axis = unit_vector(centre);
    double ra = centre.ascension * radians_per_degree,
           dec = centre.declination * radians_per_degree;
    vector3 east{-std::sin(ra), std::cos(ra), 0};
    vector3 north{-std::sin(dec) * std::cos(ra), -std::sin(dec) * std::sin(ra), std::cos(dec)};
    corners.clear();
    const double signs[4][2] = {{1, 1}, {1, -1}, {-1, -1}, {-1, 1}};
    for (const auto& s : signs) {
        double x = s[0] * std::tan(w * radians_per_degree);
        double y = s[1] * std::tan(h * radians_per_degree);
        vector3 v{axis.x + x * east.x + y * north.x, axis.y + x * east.y + y * north.y,
                  axis.z + x * east.z + y * north.z};
        corners.push_back(position_of(v));
    }
    return true;
}

// A circle holding the polygon of `vertices`: about the mean of their directions, out to
// the farthest (the edges, arcs of less than 180 degrees between vertices within 90 of
// the centre, come no farther). False when no hemisphere holds the vertices.
bool polygon_bounds(const std::vector<sky_position>& vertices, sky_position& centre,
                    double& radius) {
    vector3 mean;
    if (!mean_direction(vertices, mean))
        return false;
    centre = position_of(mean);
    radius = 0;
    for (const sky_position& v : vertices)
        radius = std::max(radius, distance_degrees(centre, v));
    return true;
}

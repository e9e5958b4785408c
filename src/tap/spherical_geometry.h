// ADQL's regions on the sphere, and whether a position lies in one.
//
// Positions are right ascension and declination in degrees (sky_position); sizes are arcs
// in degrees. A region holds the points of its boundary: a position on a circle's rim, a
// box's side or a polygon's edge counts as inside, to within 1e-14 radians, as the cone
// search counts an entry on its radius.
//   circle   every position within `radius` of the centre (the cone search's own test)
//   box      ADQL's BOX: a cross centred on the centre, its arms along the great circles
//            of the coordinate axes there, `width` and `height` long; the sides are the
//            great circles through the arms' ends at right angles to them. It is the
//            rectangle |x| <= tan(width/2), |y| <= tan(height/2) of the gnomonic
//            projection about the centre. Half-sizes beyond 90 degrees count as 90.
//   polygon  the vertices joined by the shorter great-circle arcs; of the two parts of
//            the sphere they bound, the smaller (whatever order the vertices come in). It
//            must lie within a hemisphere: every vertex less than 90 degrees from the
//            mean of the vertices' directions.
#ifndef GALSIFT_TAP_SPHERICAL_GEOMETRY_H
#define GALSIFT_TAP_SPHERICAL_GEOMETRY_H

#include "vo/sky_position.h"

#include <vector>

// Results of in_polygon.
enum { polygon_outside = 0, polygon_inside = 1, polygon_too_large = -1 };

double distance_degrees(const sky_position& from, const sky_position& to);
bool in_circle(const sky_position& where, const sky_position& centre, double radius);
bool in_box(const sky_position& where, const sky_position& centre, double width, double height);
int in_polygon(const sky_position& where, const std::vector<sky_position>& vertices);

double box_reach(double width, double height);
bool box_corners(const sky_position& centre, double width, double height,
                 std::vector<sky_position>& corners);
bool polygon_bounds(const std::vector<sky_position>& vertices, sky_position& centre,
                    double& radius);

#endif

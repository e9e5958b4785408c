// colour_scale: the colours of a quantity (a redshift, a count), and the bar that reads
// them back.
//
// The scale runs from dark violet through blue and green to yellow (the viridis scale of
// matplotlib, sampled at ten points): its lightness rises steadily, so it reads in
// grey and by those who do not tell red from green.
#ifndef GALSIFT_PICTURE_COLOUR_SCALE_H
#define GALSIFT_PICTURE_COLOUR_SCALE_H

#include "picture/axis_ticks.h"
#include "picture/svg_canvas.h"

#include <string>
#include <vector>

// The colour of `t` from 0 (the low end) to 1 (the high end), as "#rrggbb"; t outside is
// taken as the nearer end, NaN as 0.
std::string scale_colour(double t);

// Draws the scale upright in the box at (x, y), `width` by `height`, the low end at the
// bottom, with `title` above it and a mark and label at each of `marks`, whose values are
// places on the scale from 0 to 1.
void draw_colour_bar(svg_canvas& canvas, double x, double y, double width, double height,
                     const std::string& title, const std::vector<axis_tick>& marks);

#endif

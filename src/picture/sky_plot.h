// sky_plot: the picture of a box query's answer, drawn from the entries themselves.
//
// One SVG document: the query's box on the sky, right ascension increasing to the left
// and declination up as astronomers draw them, the axes marked as the query form writes
// angles; every selected galaxy a mark coloured by its redshift, with the colour bar;
// the number of galaxies written above ("N galaxies"); and below, the histogram of their
// redshifts (redshift_histogram.h). Past sky_marks_limit galaxies the box is cut into
// cells of a grid instead, each coloured by how many galaxies it holds, and the picture
// says so. An answer without galaxies gives the empty box under the words "No galaxy
// corresponds to these parameters" in the place of the count.
//
// The frame keeps the box's shape on the sky at its middle declination, its sides at most
// three to one; a box narrower than a second of time or ten seconds of arc is shown that
// wide, around its middle.
#ifndef GALSIFT_PICTURE_SKY_PLOT_H
#define GALSIFT_PICTURE_SKY_PLOT_H

#include "catalogue/entry.h"

#include <cstddef>
#include <string>

struct query_bounds;

// The most galaxies drawn one mark each.
const std::size_t sky_marks_limit = 5000;

// What the picture says of an answer without galaxies, and of N of them.
inline const char no_galaxy_text[] = "No galaxy corresponds to these parameters";
std::string galaxies_text(std::size_t count);

// The picture of the `count` entries `rows` hands (the selection of `query`, each inside
// its box), as a whole SVG document.
std::string sky_plot_svg(entry_reader rows, std::size_t count, const query_bounds& query);

#endif

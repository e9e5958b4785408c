// The pictures the query server draws from the stores it holds: the sky plot of a box
// query's selection (format=sky on /results) and the coverage map of the catalogue
// (/coverage.svg, which the query form shows).
#ifndef GALSIFT_SERVER_ANSWER_PICTURES_H
#define GALSIFT_SERVER_ANSWER_PICTURES_H

#include "server/server_context.h"
#include "store/catalogue_store.h"

#include <cstdint>
#include <string>
#include <vector>

struct query_bounds;

// The sky plot (an SVG document) of `rows` of `store`, the selection of `query`.
std::string sky_plot_of(const catalogue_store& store, const std::vector<std::uint32_t>& rows,
                        const query_bounds& query);

// Sends the SVG document `svg` as the answer to `request`, compressed when the visitor
// accepts gzip. Returns false when it could not be sent whole.
bool send_picture(FCGX_Request& request, const std::string& svg);

// Answers /coverage.svg: the map of the J2000 catalogue held now, drawn once for each
// version of it that is held and kept until the next.
void answer_coverage(FCGX_Request& request, server_context& server);

#endif

// The colour scale and its bar.
#include "picture/colour_scale.h"

#include <cmath>
#include <cstdio>

// Ten evenly spaced colours of the scale, red, green and blue.
static const unsigned char stops[10][3] = {
    {0x44, 0x01, 0x54}, {0x48, 0x28, 0x78}, {0x3e, 0x49, 0x89}, {0x31, 0x68, 0x8e},
    {0x26, 0x82, 0x8e}, {0x1f, 0x9e, 0x89}, {0x35, 0xb7, 0x79}, {0x6e, 0xce, 0x58},
    {0xb5, 0xde, 0x2b}, {0xfd, 0xe7, 0x25}};

std::string scale_colour(double t) {
    if (!(t > 0))
        t = 0;
    if (t > 1)
        t = 1;
    double place = t * 9;
    int below = place >= 9 ? 8 : static_cast<int>(place);
    double part = place - below;
    char text[8];
    int channel[3];
    for (int c = 0; c < 3; c++)
        channel[c] = static_cast<int>(
            std::lround(stops[below][c] * (1 - part) + stops[below + 1][c] * part));
    std::snprintf(text, sizeof text, "#%02x%02x%02x", channel[0], channel[1], channel[2]);
    return text;
}

void draw_colour_bar(svg_canvas& canvas, double x, double y, double width, double height,
                     const std::string& title, const std::vector<axis_tick>& marks) {
    // A gradient through the ten colours, bottom to top: one shape, no seams. A document
    // holds one bar, so its name is fixed.
    canvas.text += "<defs><linearGradient id=\"colour-scale\" x1=\"0\" y1=\"1\" x2=\"0\" "
                   "y2=\"0\">\n";
    for (int n = 0; n < 10; n++) {
        canvas.text += "<stop offset=\"";
        put_number(canvas.text, n * 100 / 9.0);
        canvas.text += "%\" stop-color=\"" + scale_colour(n / 9.0) + "\"/>\n";
    }
    canvas.text += "</linearGradient></defs>\n";
    canvas.rect(x, y, width, height, "url(#colour-scale)", "#404040");
    canvas.words(x + width / 2, y - 10, "middle", 12, title);
    for (const axis_tick& mark : marks) {
        double at = y + height * (1 - mark.value);
        canvas.line(x + width, at, x + width + 4, at, "#404040", 1);
        canvas.words(x + width + 7, at + 4, "start", 11, mark.label);
    }
}

// Writing the shapes of an SVG document.
#include "picture/svg_canvas.h"

#include <cassert>
#include <cmath>
#include <cstdio>

void put_number(std::string& out, double value) {
    assert(std::isfinite(value));
    long tenths = std::lround(value * 10);
    char digits[32];
    std::snprintf(digits, sizeof digits, "%s%ld.%ld", tenths < 0 ? "-" : "", std::labs(tenths) / 10,
                  std::labs(tenths) % 10);
    out += digits;
}

void svg_path::move(double x, double y) {
    d += d.empty() ? "M" : " M";
    put_number(d, x);
    d += ' ';
    put_number(d, y);
}

void svg_path::to(double x, double y) {
    d += " L";
    put_number(d, x);
    d += ' ';
    put_number(d, y);
}

void svg_path::close() {
    d += " Z";
}

// `words` with the characters XML gives a meaning written as references.
static std::string escaped(const std::string& words) {
    std::string out;
    for (char c : words)
        out += c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '>' ? "&gt;" : std::string(1, c);
    return out;
}

// Appends ` name="value"` to `out`, the value a number.
static void attribute(std::string& out, const char* name, double value) {
    out += ' ';
    out += name;
    out += "=\"";
    put_number(out, value);
    out += '"';
}

void svg_canvas::start(double width, double height, const std::string& title) {
    text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\"";
    attribute(text, "width", width);
    attribute(text, "height", height);
    text += " viewBox=\"0 0 ";
    put_number(text, width);
    text += ' ';
    put_number(text, height);
    text += "\" font-family=\"sans-serif\">\n<title>" + escaped(title) + "</title>\n";
    rect(0, 0, width, height, "white");
}

void svg_canvas::end() {
    text += "</svg>\n";
}

void svg_canvas::words(double x, double y, const char* anchor, double size,
                       const std::string& words, const char* extra) {
    text += "<text";
    attribute(text, "x", x);
    attribute(text, "y", y);
    attribute(text, "font-size", size);
    text += std::string(" text-anchor=\"") + anchor + "\"";
    if (*extra)
        text += std::string(" ") + extra;
    text += ">" + escaped(words) + "</text>\n";
}

void svg_canvas::line(double x1, double y1, double x2, double y2, const char* colour,
                      double width) {
    text += "<line";
    attribute(text, "x1", x1);
    attribute(text, "y1", y1);
    attribute(text, "x2", x2);
    attribute(text, "y2", y2);
    attribute(text, "stroke-width", width);
    text += std::string(" stroke=\"") + colour + "\"/>\n";
}

void svg_canvas::rect(double x, double y, double width, double height, const std::string& fill,
                      const char* stroke) {
    text += "<rect";
    attribute(text, "x", x);
    attribute(text, "y", y);
    attribute(text, "width", width);
    attribute(text, "height", height);
    text += " fill=\"" + fill + "\" stroke=\"" + stroke + "\"/>\n";
}

void svg_canvas::circle(double x, double y, double radius, const std::string& fill,
                        const char* ring) {
    text += "<circle";
    attribute(text, "cx", x);
    attribute(text, "cy", y);
    attribute(text, "r", radius);
    text += " fill=\"" + fill + "\" stroke=\"" + ring + "\" stroke-width=\"0.4\"/>\n";
}

void svg_canvas::path(const svg_path& outline, const std::string& fill, const char* stroke,
                      double width) {
    text += "<path d=\"" + outline.d + "\" fill=\"" + fill + "\" stroke=\"" + stroke + "\"";
    attribute(text, "stroke-width", width);
    text += "/>\n";
}

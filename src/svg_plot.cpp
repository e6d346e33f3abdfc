#include "svg_plot.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "kova.h"

namespace {

// Panel geometry, in SVG user units (pixels).
constexpr int panelWidth = 240;
constexpr int panelHeight = 190;
constexpr int columns = 5;
constexpr double plotLeft = 52, plotRight = 12, plotTop = 40, plotBottom = 32;
constexpr int curveSamples = 96;

// printf into a string; every caller's text is short.
template <typename... Numbers> std::string format(const char *fmt, Numbers... numbers)
{
    char s[256];
    std::snprintf(s, sizeof s, fmt, static_cast<double>(numbers)...);
    return s;
}

// %.*g without the exponent's padding: "-5e7" rather than "-5e+07", so that
// tick labels of raw spectrum units stay short.
std::string compact(double v, int digits)
{
    char s[64];
    std::snprintf(s, sizeof s, "%.*g", digits, v);
    std::string t = s;
    const size_t e = t.find('e');
    if (e == std::string::npos)
        return t;
    std::string exponent = t.substr(e + 1);
    const bool negative = exponent[0] == '-';
    exponent.erase(0, exponent.find_first_not_of("+-0"));
    return t.substr(0, e + 1) + (negative ? "-" : "") + exponent;
}

// A linear map from data to pixels.
struct Axis {
    double lo, hi;    // data range
    double from, to;  // pixel range
    double at(double v) const { return from + (v - lo) / (hi - lo) * (to - from); }
};

// Tick values: a step of 1, 2 or 5 times a power of ten giving 3 to 7 ticks.
std::vector<double> ticks(double lo, double hi)
{
    const double raw = (hi - lo) / 5.0;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    double step = power;
    for (const double f : {1.0, 2.0, 5.0, 10.0})
        if (f * power >= raw) {
            step = f * power;
            break;
        }
    std::vector<double> t;
    for (double v = std::ceil(lo / step) * step; v <= hi + step * 1e-9; v += step)
        t.push_back(std::fabs(v) < step * 1e-9 ? 0.0 : v);
    return t;
}

std::string header(int width, int height)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" +
           std::to_string(width) + "\" height=\"" + std::to_string(height) + "\" viewBox=\"0 0 " +
           std::to_string(width) + " " + std::to_string(height) +
           "\" font-family=\"sans-serif\" font-size=\"10\">\n"
           "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
}

// Frame, ticks with labels, and axis names of one plot area.
std::string axes(const Axis &x, const Axis &y, const char *xName, const char *yName)
{
    std::string s = format("<rect x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" "
                           "fill=\"none\" stroke=\"#888\"/>\n",
                           x.from, y.to, x.to - x.from, y.from - y.to);
    for (const double v : ticks(x.lo, x.hi)) {
        const double px = x.at(v);
        s += format("<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"#888\"/>", px,
                    y.from, px, y.from + 3);
        s += format("<text x=\"%.1f\" y=\"%.1f\" text-anchor=\"middle\">", px, y.from + 13) +
             compact(v, 6) + "</text>\n";
    }
    for (const double v : ticks(y.lo, y.hi)) {
        const double py = y.at(v);
        s += format("<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"#888\"/>",
                    x.from - 3, py, x.from, py);
        s += format("<text x=\"%.1f\" y=\"%.1f\" text-anchor=\"end\">", x.from - 5, py + 3.5) +
             compact(v, 3) + "</text>\n";
    }
    s += format("<text x=\"%.1f\" y=\"%.1f\" text-anchor=\"middle\">", (x.from + x.to) / 2,
                y.from + 27) +
         xName + "</text>\n";
    s += format("<text x=\"%.1f\" y=\"%.1f\" text-anchor=\"middle\" transform=\"rotate(-90 %.1f "
                "%.1f)\">",
                x.from - 40, (y.from + y.to) / 2, x.from - 40, (y.from + y.to) / 2) +
         yName + "</text>\n";
    return s;
}

double model(const FitRecord &r, double tauSeconds)
{
    return static_cast<double>(r.A) * std::sin(PI * static_cast<double>(r.J) * tauSeconds);
}

// "#3  J 273.273 Hz" (J as the report prints it, with its error under --mc)
// over "A 0.9133  RMS 0.00334".
std::string panelTitle(int assignment, const FitRecord &r, const Precision *p, double cx, double y)
{
    std::string j = "J " + format("%.3f", r.J);
    if (p != nullptr)
        j += format(" &#177; %.3f", p->errJ);
    return format("<text class=\"title\" x=\"%.1f\" y=\"%.1f\" text-anchor=\"middle\" "
                  "font-size=\"11\" font-weight=\"bold\">",
                  cx, y) +
           "#" + std::to_string(assignment) + "  " + j + " Hz</text>\n" +
           format("<text x=\"%.1f\" y=\"%.1f\" text-anchor=\"middle\" fill=\"#444\">", cx, y + 13) +
           "A " + compact(r.A, 4) + "  RMS " + compact(r.rms, 3) + "</text>\n";
}

std::string panel(int assignment, const FitRecord &r, const Precision *p, double x0, double y0)
{
    const double tau[3] = {tau0, tau1, tau2};
    const double tauMax = std::max({tau[0], tau[1], tau[2], 1e-9});
    const double xMax = 1.15 * tauMax;

    // The intensity range holds the points, the drawn curve and zero.
    double lo = 0.0, hi = 0.0;
    std::vector<double> curve;
    for (int i = 0; i <= curveSamples; ++i)
        curve.push_back(model(r, xMax * i / curveSamples));
    const bool curveDrawn =
        std::all_of(curve.begin(), curve.end(), [](double v) { return std::isfinite(v); });
    for (const double v : curveDrawn ? curve : std::vector<double>())
        lo = std::min(lo, v), hi = std::max(hi, v);
    for (const float d : r.data)
        lo = std::min(lo, static_cast<double>(d)), hi = std::max(hi, static_cast<double>(d));
    if (hi - lo <= 0.0)
        hi = lo + 1.0;
    const double pad = 0.08 * (hi - lo);

    const Axis x{0.0, xMax * 1e3, x0 + plotLeft, x0 + panelWidth - plotRight};
    const Axis y{lo - pad, hi + pad, y0 + panelHeight - plotBottom, y0 + plotTop};
    std::string s = "<g class=\"panel\" id=\"assignment-" + std::to_string(assignment) + "\">\n";
    s += panelTitle(assignment, r, p, (x.from + x.to) / 2, y0 + 13);
    if (r.refit != 0)
        s += format("<text class=\"refit\" x=\"%.1f\" y=\"%.1f\" text-anchor=\"end\" "
                    "fill=\"#d95f02\" font-size=\"9\">normalised fit</text>\n",
                    x.to - 3, y.to + 10);
    s += axes(x, y, "tau (ms)", "intensity");
    s += format("<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"#aaa\" "
                "stroke-dasharray=\"3,3\"/>\n",
                x.from, y.at(0.0), x.to, y.at(0.0));
    if (curveDrawn) {
        s += "<polyline fill=\"none\" stroke=\"#1f77b4\" stroke-width=\"1.5\" points=\"";
        for (int i = 0; i <= curveSamples; ++i)
            s += format("%.1f,%.1f ", x.at(xMax * 1e3 * i / curveSamples), y.at(curve[i]));
        s += "\"/>\n";
    }
    for (int k = 0; k < 3; ++k)
        s += format("<circle cx=\"%.1f\" cy=\"%.1f\" r=\"3.5\" fill=\"#d62728\"/>\n",
                    x.at(tau[k] * 1e3), y.at(r.data[k]));
    return s + "</g>\n";
}

}  // namespace

std::string fitsSvg(const std::vector<Reported> &peaks, const std::vector<Precision> &precision)
{
    const int n = static_cast<int>(peaks.size());
    const int cols = std::max(1, std::min(columns, n));
    const int rows = std::max(1, (n + columns - 1) / columns);
    std::string s = header(cols * panelWidth, rows * panelHeight);
    if (n == 0)
        s += "<text x=\"10\" y=\"30\">No assignment was fitted.</text>\n";
    for (int i = 0; i < n; ++i)
        s += panel(peaks[i].assignment, *peaks[i].record,
                   precision.empty() ? nullptr : &precision[i], (i % columns) * panelWidth,
                   (i / columns) * panelHeight);
    return s + "</svg>\n";
}

std::string histogramSvg(const std::vector<float> &fittedJ, float snr)
{
    constexpr int width = 640, height = 400, bins = 40;
    constexpr double reference = 300.0;
    std::vector<double> js;
    for (const float j : fittedJ)
        if (std::isfinite(j))
            js.push_back(j);
    double lo = reference - 1.0, hi = reference + 1.0;
    for (const double j : js)
        lo = std::min(lo, j), hi = std::max(hi, j);
    std::vector<int> count(bins, 0);
    for (const double j : js)
        ++count[std::min(bins - 1, static_cast<int>((j - lo) / (hi - lo) * bins))];
    const int most = std::max(1, *std::max_element(count.begin(), count.end()));

    const Axis x{lo, hi, 70.0, width - 20.0};
    const Axis y{0.0, most * 1.1, height - 50.0, 40.0};
    std::string s = header(width, height);
    s += format("<text x=\"%.1f\" y=\"22\" text-anchor=\"middle\" font-size=\"13\">Fitted J of "
                "%g trials at S/N %.2f (reference J = 300 Hz)</text>\n",
                width / 2.0, static_cast<double>(fittedJ.size()), snr);
    for (int b = 0; b < bins; ++b) {
        const double left = x.at(lo + (hi - lo) * b / bins);
        const double right = x.at(lo + (hi - lo) * (b + 1) / bins);
        s += format("<rect class=\"bin\" x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" "
                    "fill=\"#1f77b4\" stroke=\"white\"/>\n",
                    left, y.at(count[b]), right - left, y.from - y.at(count[b]));
    }
    s += axes(x, y, "J (Hz)", "trials");
    s += format("<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"#d62728\" "
                "stroke-width=\"2\"/>\n",
                x.at(reference), y.from, x.at(reference), y.to);
    s += format("<text x=\"%.1f\" y=\"%.1f\" fill=\"#d62728\">reference</text>\n",
                x.at(reference) + 4, y.to + 12);
    return s + "</svg>\n";
}

bool writeSvgFile(const std::string &file, const std::string &svg, std::string *error)
{
    std::string temporary = file + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) {
        *error = "cannot write " + file + ": " + std::strerror(errno);
        return false;
    }
    // mkstemp makes the file private; the picture gets the mode any new
    // file would get.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    std::FILE *out = fdopen(fd, "w");
    bool ok = out != nullptr && std::fwrite(svg.data(), 1, svg.size(), out) == svg.size();
    int saved = errno;
    if (out != nullptr && std::fclose(out) != 0 && ok) {
        ok = false;
        saved = errno;
    }
    if (out == nullptr)
        close(fd);
    if (ok && std::rename(temporary.c_str(), file.c_str()) != 0) {
        ok = false;
        saved = errno;
    }
    if (!ok) {
        std::remove(temporary.c_str());
        *error = "cannot write " + file + ": " + std::strerror(saved);
    }
    return ok;
}

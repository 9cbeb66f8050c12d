// Parsing of driver data texts and the choice of driver.
#include "gfx/drivers.h"

#include "gfx/cairocanvas.h"
#include "gfx/cgmcanvas.h"
#include "gfx/dxfcanvas.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

namespace gfx {

namespace {

std::string fmt(const char* f, double a, double b, double c = 0) {
    char buf[128];
    std::snprintf(buf, sizeof buf, f, a, b, c);
    return buf;
}

// Splits "FILE OPT" at the last blank: the option and the file before it.
bool splitLast(const std::string& s, std::string& file, std::string& opt) {
    const auto at = s.rfind(' ');
    if (at == std::string::npos || at == 0) return false;
    file = s.substr(0, at);
    opt = s.substr(at + 1);
    return !opt.empty();
}

// "WxH" with both parts positive numbers.
bool parseSize(const std::string& s, double& w, double& h) {
    char x = 0;
    int used = 0;
    if (std::sscanf(s.c_str(), "%lf%c%lf%n", &w, &x, &h, &used) != 3 || x != 'x' ||
        used != static_cast<int>(s.size()))
        return false;
    return std::isfinite(w) && std::isfinite(h) && w > 0 && h > 0;
}

bool parseNumber(const std::string& s, double& v) {
    int used = 0;
    return std::sscanf(s.c_str(), "%lf%n", &v, &used) == 1 && used == static_cast<int>(s.size()) &&
           std::isfinite(v) && v > 0;
}

// Pixel sizes past this are refused: nobody exports a larger picture, and
// the PNG buffer stays within reason.
constexpr double kMaxPixels = 30000;

template <class T> std::unique_ptr<Canvas> keepIfOk(std::unique_ptr<T> c) {
    if (!c->ok()) return nullptr;
    return c;
}

} // namespace

std::string cgmData(const std::string& file, double widthMm, double heightMm, double pxPerMm) {
    return file + fmt(" %gx%g %g", widthMm, heightMm, pxPerMm);
}

std::string dxfData(const std::string& file, int widthPx, int heightPx) {
    return sizeData(file, widthPx, heightPx);
}

std::string psData(const std::string& file, bool encapsulated) {
    return encapsulated ? file + " -e" : file;
}

std::string sizeData(const std::string& file, int widthPx, int heightPx) {
    return file + " " + std::to_string(widthPx) + "x" + std::to_string(heightPx);
}

std::string driverForFile(const std::string& file) {
    const auto dot = file.rfind('.');
    const auto slash = file.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    std::string ext = file.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
    for (const char* known : {"svg", "pdf", "png", "ps", "eps", "dxf", "cgm"})
        if (ext == known) return ext;
    return "";
}

std::unique_ptr<Canvas> openDriver(const std::string& name, const std::string& data, int widthPx,
                                   int heightPx, double widthMm, double heightMm) {
    std::string file, opt;
    double w = 0, h = 0;
    auto pixels = [](double v) { return v >= 1 && v <= kMaxPixels; };
    if (name == "ps") {
        const bool eps = splitLast(data, file, opt) && opt == "-e";
        if (!eps) file = data;
        if (file.empty() || widthPx < 1 || heightPx < 1) return nullptr;
        return keepIfOk(
            std::make_unique<CairoCanvas>(eps ? CairoFormat::Eps : CairoFormat::PostScript, file,
                                          widthPx, heightPx, widthMm, heightMm));
    }
    if (name == "cgm") {
        std::string rest, ppmText;
        double ppm = 0;
        if (!splitLast(data, rest, ppmText) || !parseNumber(ppmText, ppm) ||
            !splitLast(rest, file, opt) || !parseSize(opt, w, h))
            return nullptr;
        const double px = std::round(w * ppm), py = std::round(h * ppm);
        if (!pixels(px) || !pixels(py)) return nullptr;
        return keepIfOk(
            std::make_unique<CgmCanvas>(file, static_cast<int>(px), static_cast<int>(py), w, h));
    }
    if (!splitLast(data, file, opt) || !parseSize(opt, w, h) || !pixels(w) || !pixels(h) ||
        w != std::floor(w) || h != std::floor(h))
        return nullptr;
    const int iw = static_cast<int>(w), ih = static_cast<int>(h);
    if (name == "dxf") return keepIfOk(std::make_unique<DxfCanvas>(file, iw, ih));
    if (name == "svg" || name == "pdf" || name == "png") {
        const CairoFormat f = name == "svg"   ? CairoFormat::Svg
                              : name == "pdf" ? CairoFormat::Pdf
                                              : CairoFormat::Png;
        return keepIfOk(std::make_unique<CairoCanvas>(f, file, iw, ih));
    }
    return nullptr;
}

} // namespace gfx

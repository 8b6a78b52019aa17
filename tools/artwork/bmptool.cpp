// Host tool for tools/make_artwork.sh: turns a rendered true-colour picture
// (binary PPM) into the palette formats the setup carries: an uncompressed
// 4 or 8 bit BMP with BITMAPINFOHEADER, or a one-image 32x32 16-colour icon.
//
//   bmptool bmp IN.ppm OUT.bmp BPP [key] [dither]
//   bmptool ico IN.ppm OUT.ico [dither]
//
// "key": pixels of exactly RGB(255,0,255) keep that exact palette entry, so
// the backdrop's transparent key survives the colour reduction. In an icon
// those pixels become transparent (mask bit set, colour index 0 = black).
// Built with the host compiler only while generating the checked-in art.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

struct Rgb {
    int r, g, b;
    bool operator<(const Rgb &o) const { return r != o.r ? r < o.r : g != o.g ? g < o.g : b < o.b; }
    bool operator==(const Rgb &o) const { return r == o.r && g == o.g && b == o.b; }
};

const Rgb Key = {255, 0, 255};

struct Picture {
    int width = 0, height = 0;
    std::vector<Rgb> pixels;
};

bool ReadToken(FILE *f, std::string &out) {
    out.clear();
    int c = fgetc(f);
    while (c != EOF) {
        if (c == '#') {
            while (c != EOF && c != '\n')
                c = fgetc(f);
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            c = fgetc(f);
        } else {
            break;
        }
    }
    while (c != EOF && !(c == ' ' || c == '\t' || c == '\r' || c == '\n')) {
        out.push_back(static_cast<char>(c));
        c = fgetc(f);
    }
    return !out.empty();
}

bool ReadPpm(const char *path, Picture &pic) {
    FILE *f = fopen(path, "rb");
    if (!f) {
        fprintf(stderr, "bmptool: cannot open %s\n", path);
        return false;
    }
    std::string magic, w, h, maxval;
    bool ok = ReadToken(f, magic) && magic == "P6" && ReadToken(f, w) && ReadToken(f, h) &&
              ReadToken(f, maxval) && maxval == "255";
    if (ok) {
        pic.width = atoi(w.c_str());
        pic.height = atoi(h.c_str());
        ok = pic.width > 0 && pic.height > 0;
    }
    if (ok) {
        std::vector<unsigned char> raw(static_cast<size_t>(pic.width) * pic.height * 3);
        ok = fread(raw.data(), 1, raw.size(), f) == raw.size();
        for (size_t i = 0; ok && i < raw.size(); i += 3)
            pic.pixels.push_back({raw[i], raw[i + 1], raw[i + 2]});
    }
    fclose(f);
    if (!ok)
        fprintf(stderr, "bmptool: %s is not a binary 8-bit PPM\n", path);
    return ok;
}

int Distance(const Rgb &a, const Rgb &b) {
    // Weighted so that green differences count most, as the eye sees them.
    int dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
    return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

// Median cut over the distinct colours, weighted by how often they occur.
std::vector<Rgb> MedianCut(const std::map<Rgb, long> &histogram, size_t wanted) {
    struct Box {
        std::vector<std::pair<Rgb, long>> colours;
    };
    std::vector<Box> boxes(1);
    for (const auto &entry : histogram)
        boxes[0].colours.push_back(entry);
    while (boxes.size() < wanted) {
        // Split the box with the widest channel range (weighted by its size).
        long bestScore = -1;
        size_t best = 0;
        int bestChannel = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].colours.size() < 2)
                continue;
            int lo[3] = {255, 255, 255}, hi[3] = {0, 0, 0};
            long count = 0;
            for (const auto &c : boxes[i].colours) {
                int v[3] = {c.first.r, c.first.g, c.first.b};
                for (int k = 0; k < 3; ++k) {
                    lo[k] = std::min(lo[k], v[k]);
                    hi[k] = std::max(hi[k], v[k]);
                }
                count += c.second;
            }
            for (int k = 0; k < 3; ++k) {
                long score = static_cast<long>(hi[k] - lo[k]) * (hi[k] - lo[k]) * 1000 +
                             std::min(count, 999L);
                if (score > bestScore) {
                    bestScore = score;
                    best = i;
                    bestChannel = k;
                }
            }
        }
        if (bestScore < 0)
            break;
        auto &colours = boxes[best].colours;
        std::sort(colours.begin(), colours.end(), [bestChannel](const auto &a, const auto &b) {
            int va = bestChannel == 0 ? a.first.r : bestChannel == 1 ? a.first.g : a.first.b;
            int vb = bestChannel == 0 ? b.first.r : bestChannel == 1 ? b.first.g : b.first.b;
            return va != vb ? va < vb : a.first < b.first;
        });
        long total = 0;
        for (const auto &c : colours)
            total += c.second;
        long running = 0;
        size_t cut = 1;
        for (size_t i = 0; i + 1 < colours.size(); ++i) {
            running += colours[i].second;
            cut = i + 1;
            if (running * 2 >= total)
                break;
        }
        Box upper;
        upper.colours.assign(colours.begin() + cut, colours.end());
        colours.resize(cut);
        boxes.push_back(upper);
    }
    std::vector<Rgb> palette;
    for (const auto &box : boxes) {
        double r = 0, g = 0, b = 0, n = 0;
        for (const auto &c : box.colours) {
            r += c.first.r * static_cast<double>(c.second);
            g += c.first.g * static_cast<double>(c.second);
            b += c.first.b * static_cast<double>(c.second);
            n += static_cast<double>(c.second);
        }
        if (n > 0)
            palette.push_back({static_cast<int>(r / n + 0.5), static_cast<int>(g / n + 0.5),
                               static_cast<int>(b / n + 0.5)});
    }
    std::sort(palette.begin(), palette.end());
    palette.erase(std::unique(palette.begin(), palette.end()), palette.end());
    return palette;
}

size_t Nearest(const std::vector<Rgb> &palette, size_t first, const Rgb &c) {
    size_t best = first;
    int bestDistance = -1;
    for (size_t i = first; i < palette.size(); ++i) {
        int d = Distance(palette[i], c);
        if (bestDistance < 0 || d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

// Reserved entries come first in the palette (key, black for icons); the
// picture's own colours fill the rest. Returns one palette index per pixel.
std::vector<uint8_t> Reduce(const Picture &pic, size_t capacity, const std::vector<Rgb> &reserved,
                            bool keyed, bool dither, std::vector<Rgb> &palette) {
    std::map<Rgb, long> histogram;
    for (const Rgb &p : pic.pixels)
        if (!(keyed && p == Key))
            ++histogram[p];
    size_t room = capacity - reserved.size();
    std::vector<Rgb> own;
    if (histogram.size() <= room) {
        for (const auto &entry : histogram)
            own.push_back(entry.first);
        dither = false; // every colour is exact
    } else {
        own = MedianCut(histogram, room);
    }
    palette = reserved;
    palette.insert(palette.end(), own.begin(), own.end());
    size_t firstOwn = reserved.size();
    if (own.empty())
        firstOwn = 0;

    std::vector<uint8_t> indices(pic.pixels.size());
    std::vector<double> err(static_cast<size_t>(pic.width + 2) * 2 * 3, 0.0);
    for (int y = 0; y < pic.height; ++y) {
        double *cur = &err[(y % 2) * (pic.width + 2) * 3];
        double *next = &err[((y + 1) % 2) * (pic.width + 2) * 3];
        std::fill(next, next + (pic.width + 2) * 3, 0.0);
        for (int x = 0; x < pic.width; ++x) {
            const Rgb &p = pic.pixels[static_cast<size_t>(y) * pic.width + x];
            size_t at = static_cast<size_t>(y) * pic.width + x;
            if (keyed && p == Key) {
                indices[at] = 0; // the key is always entry 0 when keyed
                continue;
            }
            double want[3] = {p.r + cur[(x + 1) * 3], p.g + cur[(x + 1) * 3 + 1],
                              p.b + cur[(x + 1) * 3 + 2]};
            Rgb target = {std::clamp(static_cast<int>(want[0] + 0.5), 0, 255),
                          std::clamp(static_cast<int>(want[1] + 0.5), 0, 255),
                          std::clamp(static_cast<int>(want[2] + 0.5), 0, 255)};
            size_t index = Nearest(palette, firstOwn, target);
            indices[at] = static_cast<uint8_t>(index);
            if (!dither)
                continue;
            const Rgb &got = palette[index];
            double e[3] = {want[0] - got.r, want[1] - got.g, want[2] - got.b};
            for (int k = 0; k < 3; ++k) {
                cur[(x + 2) * 3 + k] += e[k] * 7 / 16;
                next[x * 3 + k] += e[k] * 3 / 16;
                next[(x + 1) * 3 + k] += e[k] * 5 / 16;
                next[(x + 2) * 3 + k] += e[k] * 1 / 16;
            }
        }
    }
    palette.resize(capacity, Rgb{0, 0, 0});
    return indices;
}

void Put16(std::vector<uint8_t> &out, unsigned v) {
    out.push_back(v & 0xFF);
    out.push_back((v >> 8) & 0xFF);
}

void Put32(std::vector<uint8_t> &out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back((v >> (8 * i)) & 0xFF);
}

void PutInfoHeader(std::vector<uint8_t> &out, int width, int height, int bpp, uint32_t imageSize) {
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(width));
    Put32(out, static_cast<uint32_t>(height));
    Put16(out, 1);
    Put16(out, static_cast<unsigned>(bpp));
    Put32(out, 0); // BI_RGB: uncompressed
    Put32(out, imageSize);
    Put32(out, 2835); // 72 dots per inch
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
}

void PutPalette(std::vector<uint8_t> &out, const std::vector<Rgb> &palette) {
    for (const Rgb &c : palette) {
        out.push_back(static_cast<uint8_t>(c.b));
        out.push_back(static_cast<uint8_t>(c.g));
        out.push_back(static_cast<uint8_t>(c.r));
        out.push_back(0);
    }
}

// Rows bottom-up, each padded to four bytes.
void PutPixels(std::vector<uint8_t> &out, const std::vector<uint8_t> &indices, int width,
               int height, int bpp) {
    size_t rowBytes = ((static_cast<size_t>(width) * bpp + 31) / 32) * 4;
    for (int y = height - 1; y >= 0; --y) {
        std::vector<uint8_t> row(rowBytes, 0);
        for (int x = 0; x < width; ++x) {
            uint8_t v = indices[static_cast<size_t>(y) * width + x];
            if (bpp == 8)
                row[x] = v;
            else
                row[x / 2] |= static_cast<uint8_t>((x % 2 == 0) ? (v << 4) : v);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
}

bool WriteFile(const char *path, const std::vector<uint8_t> &data) {
    FILE *f = fopen(path, "wb");
    if (!f) {
        fprintf(stderr, "bmptool: cannot write %s\n", path);
        return false;
    }
    bool ok = fwrite(data.data(), 1, data.size(), f) == data.size();
    ok = fclose(f) == 0 && ok;
    if (!ok)
        fprintf(stderr, "bmptool: writing %s failed\n", path);
    return ok;
}

bool HasOption(int argc, char **argv, int from, const char *name) {
    for (int i = from; i < argc; ++i)
        if (strcmp(argv[i], name) == 0)
            return true;
    return false;
}

int MakeBitmap(int argc, char **argv) {
    Picture pic;
    if (!ReadPpm(argv[2], pic))
        return 1;
    int bpp = atoi(argv[4]);
    if (bpp != 4 && bpp != 8) {
        fprintf(stderr, "bmptool: bits per pixel must be 4 or 8\n");
        return 2;
    }
    bool keyed = HasOption(argc, argv, 5, "key");
    bool dither = HasOption(argc, argv, 5, "dither");
    std::vector<Rgb> reserved;
    if (keyed)
        reserved.push_back(Key);
    std::vector<Rgb> palette;
    std::vector<uint8_t> indices = Reduce(pic, 1u << bpp, reserved, keyed, dither, palette);

    size_t rowBytes = ((static_cast<size_t>(pic.width) * bpp + 31) / 32) * 4;
    uint32_t imageSize = static_cast<uint32_t>(rowBytes * pic.height);
    uint32_t offset = 14 + 40 + static_cast<uint32_t>(palette.size()) * 4;
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, offset + imageSize);
    Put32(out, 0);
    Put32(out, offset);
    PutInfoHeader(out, pic.width, pic.height, bpp, imageSize);
    PutPalette(out, palette);
    PutPixels(out, indices, pic.width, pic.height, bpp);
    return WriteFile(argv[3], out) ? 0 : 1;
}

int MakeIcon(int argc, char **argv) {
    Picture pic;
    if (!ReadPpm(argv[2], pic))
        return 1;
    if (pic.width != 32 || pic.height != 32) {
        fprintf(stderr, "bmptool: an icon must be 32 by 32\n");
        return 2;
    }
    bool dither = HasOption(argc, argv, 4, "dither");
    // Entry 0 is black: a transparent pixel is colour 0 under a set mask bit.
    std::vector<Rgb> reserved = {Rgb{0, 0, 0}};
    std::vector<Rgb> palette;
    std::vector<uint8_t> indices = Reduce(pic, 16, reserved, true, dither, palette);
    // Reduce leaves key pixels at entry 0, which here is black: what we want.

    const uint32_t xorBytes = 32 * 16, andBytes = 32 * 4;
    const uint32_t imageBytes = 40 + 16 * 4 + xorBytes + andBytes;
    std::vector<uint8_t> out;
    Put16(out, 0);
    Put16(out, 1); // icon
    Put16(out, 1); // one image
    out.push_back(32);
    out.push_back(32);
    out.push_back(16);
    out.push_back(0);
    Put16(out, 1);
    Put16(out, 4);
    Put32(out, imageBytes);
    Put32(out, 22);
    PutInfoHeader(out, 32, 64, 4, xorBytes + andBytes);
    PutPalette(out, palette);
    PutPixels(out, indices, 32, 32, 4);
    for (int y = 31; y >= 0; --y) {
        uint32_t bits = 0;
        for (int x = 0; x < 32; ++x)
            if (pic.pixels[static_cast<size_t>(y) * 32 + x] == Key)
                bits |= 0x80000000u >> x;
        out.push_back((bits >> 24) & 0xFF);
        out.push_back((bits >> 16) & 0xFF);
        out.push_back((bits >> 8) & 0xFF);
        out.push_back(bits & 0xFF);
    }
    return WriteFile(argv[3], out) ? 0 : 1;
}

} // namespace

int main(int argc, char **argv) {
    if (argc >= 5 && strcmp(argv[1], "bmp") == 0)
        return MakeBitmap(argc, argv);
    if (argc >= 4 && strcmp(argv[1], "ico") == 0)
        return MakeIcon(argc, argv);
    fprintf(stderr, "usage: bmptool bmp IN.ppm OUT.bmp 4|8 [key] [dither]\n"
                    "       bmptool ico IN.ppm OUT.ico [dither]\n");
    return 2;
}

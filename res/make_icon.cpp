// Tarvex.ico maker: g++ -std=c++17 -O2 -o make_icon res/make_icon.cpp && ./make_icon res/Tarvex.ico
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

struct Rgba {
    int r, g, b, a;
};

using Bytes = std::vector<uint8_t>;

// Byte-by-byte little-endian output keeps the file identical on any host.
void put16(Bytes& out, uint32_t v) {
    out.push_back(v & 0xFF);
    out.push_back((v >> 8) & 0xFF);
}

void put32(Bytes& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// Unit-square rounded corners; the margin is snapped to whole pixels so the edge stays crisp.
bool inRoundedSquare(double x, double y, double margin) {
    const double lo = margin, hi = 1.0 - margin, r = 0.2;
    if (x < lo || x >= hi || y < lo || y >= hi)
        return false;
    const double cx = x < lo + r ? lo + r : (x > hi - r ? hi - r : x);
    const double cy = y < lo + r ? lo + r : (y > hi - r ? hi - r : y);
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
}

int toPixel(double unit, int size) {
    return static_cast<int>(unit * size + 0.5);
}

// Three candles trending upwards on a dark-blue rounded square. Candles sit on the pixel grid
// so they stay sharp at 16 px; only the rounded corners are anti-aliased. Palette images get a
// flat background because a gradient would band into two flat stripes.
std::vector<Rgba> render(int size, bool gradient) {
    struct Candle {
        double cx, top, bottom, wickTop, wickBottom;
        Rgba colour;
    };
    // Pure-ish hues so the 16-colour version still maps them to green and red.
    const Rgba green{0x30, 0xD8, 0x40, 255}, red{0xE8, 0x3A, 0x3A, 255};
    const Candle candles[] = {
        {0.25, 0.56, 0.78, 0.46, 0.86, green},
        {0.50, 0.42, 0.62, 0.34, 0.70, red},
        {0.75, 0.20, 0.50, 0.12, 0.58, green},
    };
    const int bodyW = toPixel(0.17, size) | 1; // Odd widths keep the wick centred.
    const int wickW = toPixel(0.05, size) | 1;
    const double margin = static_cast<double>(toPixel(0.03, size)) / size;
    const int ss = 4;
    std::vector<Rgba> img(size * size);
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            int hits = 0;
            for (int sy = 0; sy < ss; ++sy) {
                for (int sx = 0; sx < ss; ++sx) {
                    hits += inRoundedSquare((px + (sx + 0.5) / ss) / size,
                                            (py + (sy + 0.5) / ss) / size, margin);
                }
            }
            const int shade = gradient ? 40 * (size - py) / size : 20;
            Rgba p{0x08 + shade / 2, 0x2A + shade / 2, 0x6E + shade, hits * 255 / (ss * ss)};
            for (const Candle& c : candles) {
                const int mid = toPixel(c.cx, size);
                const bool inBody = px >= mid - bodyW / 2 && px <= mid + bodyW / 2 &&
                                    py >= toPixel(c.top, size) && py < toPixel(c.bottom, size);
                const bool inWick = px >= mid - wickW / 2 && px <= mid + wickW / 2 &&
                                    py >= toPixel(c.wickTop, size) &&
                                    py < toPixel(c.wickBottom, size);
                if (inBody || inWick)
                    p = {c.colour.r, c.colour.g, c.colour.b, p.a};
            }
            img[py * size + px] = p;
        }
    }
    return img;
}

std::vector<Rgba> vgaPalette() {
    return {{0, 0, 0, 0},       {128, 0, 0, 0},   {0, 128, 0, 0},   {128, 128, 0, 0},
            {0, 0, 128, 0},     {128, 0, 128, 0}, {0, 128, 128, 0}, {192, 192, 192, 0},
            {128, 128, 128, 0}, {255, 0, 0, 0},   {0, 255, 0, 0},   {255, 255, 0, 0},
            {0, 0, 255, 0},     {255, 0, 255, 0}, {0, 255, 255, 0}, {255, 255, 255, 0}};
}

// 6x6x6 colour cube plus 40 greys that fall between the cube's own grey levels.
std::vector<Rgba> cubePalette() {
    std::vector<Rgba> pal;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                pal.push_back({r * 51, g * 51, b * 51, 0});
    for (int v = 8; v < 248; v += 6)
        pal.push_back({v, v, v, 0});
    return pal;
}

int nearest(const std::vector<Rgba>& pal, const Rgba& c) {
    int best = 0;
    long bestDist = -1;
    for (size_t i = 0; i < pal.size(); ++i) {
        const long dr = c.r - pal[i].r, dg = c.g - pal[i].g, db = c.b - pal[i].b;
        const long d = dr * dr + dg * dg + db * db;
        if (bestDist < 0 || d < bestDist)
            bestDist = d, best = static_cast<int>(i);
    }
    return best;
}

// Builds one DIB icon image: header, palette, bottom-up XOR rows, then the AND mask.
Bytes makeDib(int size, int bpp) {
    const std::vector<Rgba> img = render(size, bpp == 32);
    const std::vector<Rgba> pal =
        bpp == 4 ? vgaPalette() : (bpp == 8 ? cubePalette() : std::vector<Rgba>{});
    const int xorStride = (size * bpp + 31) / 32 * 4;
    const int andStride = (size + 31) / 32 * 4;
    Bytes out;
    put32(out, 40);
    put32(out, size);
    put32(out, size * 2); // Icons count the AND mask in the height.
    put16(out, 1);
    put16(out, bpp);
    put32(out, 0);
    put32(out, (xorStride + andStride) * size);
    for (int i = 0; i < 4; ++i)
        put32(out, 0); // Resolution and colour counts; zero means "use the defaults".
    for (const Rgba& c : pal) {
        out.push_back(c.b), out.push_back(c.g), out.push_back(c.r), out.push_back(0);
    }
    for (int y = size - 1; y >= 0; --y) {
        Bytes row(xorStride, 0);
        for (int x = 0; x < size; ++x) {
            const Rgba& p = img[y * size + x];
            if (bpp == 32) {
                // Transparent pixels stay all-zero so the mask and alpha agree.
                const int a = p.a;
                row[x * 4 + 0] = a ? p.b : 0;
                row[x * 4 + 1] = a ? p.g : 0;
                row[x * 4 + 2] = a ? p.r : 0;
                row[x * 4 + 3] = a;
            } else if (p.a >= 128) {
                const int idx = nearest(pal, p);
                if (bpp == 8)
                    row[x] = idx;
                else
                    row[x / 2] |= (x % 2 == 0) ? idx << 4 : idx;
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    for (int y = size - 1; y >= 0; --y) {
        Bytes row(andStride, 0);
        for (int x = 0; x < size; ++x) {
            if (img[y * size + x].a < 128)
                row[x / 8] |= 0x80 >> (x % 8);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s output.ico\n", argv[0]);
        return 2;
    }
    const int sizes[] = {16, 24, 32, 48, 128};
    const int depths[] = {4, 8, 32};
    std::vector<Bytes> images;
    std::vector<int> imgSize, imgBpp;
    for (int s : sizes) {
        for (int d : depths) {
            images.push_back(makeDib(s, d));
            imgSize.push_back(s), imgBpp.push_back(d);
        }
    }
    Bytes out;
    put16(out, 0);
    put16(out, 1); // 1 = icon, 2 = cursor.
    put16(out, images.size());
    uint32_t offset = 6 + 16 * images.size();
    for (size_t i = 0; i < images.size(); ++i) {
        out.push_back(imgSize[i] & 0xFF); // 0 would mean 256.
        out.push_back(imgSize[i] & 0xFF);
        out.push_back(imgBpp[i] == 4 ? 16 : 0);
        out.push_back(0);
        put16(out, 1);
        put16(out, imgBpp[i]);
        put32(out, images[i].size());
        put32(out, offset);
        offset += images[i].size();
    }
    for (const Bytes& img : images)
        out.insert(out.end(), img.begin(), img.end());

    FILE* f = std::fopen(argv[1], "wb");
    if (!f) {
        std::perror(argv[1]);
        return 1;
    }
    const bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    if (std::fclose(f) != 0 || !ok) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}

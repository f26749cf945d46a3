// The picture of a hot spot read back: its plots' data-* attributes map its coordinates to
// values, which must be the evaluation's - the curve on its segments where the damage sum
// chooses them, the spectrum's steps at the stress ranges and cumulative cycles, the bars'
// shares adding up to 100 % - and every picture is well-formed XML.
#include "run/hot_spot_picture.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "fatigue/damage.h"
#include "fatigue/sn_vector.h"
#include "tests/testing/temporary_directory.h"
#include "tests/testing/test_data.h"

namespace qartwo {
namespace {

// The opening tags of the elements whose class list holds `kind`.
std::vector<std::string_view> Elements(std::string_view svg, std::string_view kind) {
  std::vector<std::string_view> found;
  for (std::size_t at = svg.find('<'); at != std::string_view::npos; at = svg.find('<', at + 1)) {
    const std::string_view tag = svg.substr(at, svg.find('>', at) - at);
    const std::size_t classes = tag.find(" class=\"");
    if (classes == std::string_view::npos) continue;
    const std::string_view list = tag.substr(classes + 8, tag.find('"', classes + 8) - classes - 8);
    if ((" " + std::string(list) + " ").find(" " + std::string(kind) + " ") != std::string::npos) {
      found.push_back(tag);
    }
  }
  return found;
}

std::string_view Text(std::string_view tag, std::string_view name) {
  const std::string key = " " + std::string(name) + "=\"";
  const std::size_t at = tag.find(key);
  if (at == std::string_view::npos) return {};
  return tag.substr(at + key.size(), tag.find('"', at + key.size()) - at - key.size());
}

double Number(std::string_view text) {
  double value = NAN;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

std::vector<std::pair<double, double>> Points(std::string_view tag) {
  std::vector<std::pair<double, double>> points;
  std::string_view text = Text(tag, "points");
  while (!text.empty()) {
    const std::size_t comma = text.find(','), blank = std::min(text.find(' '), text.size());
    points.emplace_back(Number(text.substr(0, comma)),
                        Number(text.substr(comma + 1, blank - comma - 1)));
    text.remove_prefix(std::min(blank + 1, text.size()));
  }
  return points;
}

// A plot's mapping between pixels and values, as its attributes give it.
struct Axes {
  double left, top, width, height, x_min, x_max, y_min, y_max;
  bool log;
  explicit Axes(std::string_view g)
      : left(Number(Text(g, "data-left"))),
        top(Number(Text(g, "data-top"))),
        width(Number(Text(g, "data-width"))),
        height(Number(Text(g, "data-height"))),
        log(!Text(g, "data-x-log-min").empty()) {
    const std::string s = log ? "-log" : "";
    x_min = Number(Text(g, "data-x" + s + "-min")), x_max = Number(Text(g, "data-x" + s + "-max"));
    y_min = Number(Text(g, "data-y" + s + "-min")), y_max = Number(Text(g, "data-y" + s + "-max"));
  }
  double X(double value) const {  // value (log: its logarithm) to pixel
    return left + (value - x_min) / (x_max - x_min) * width;
  }
  double Y(double value) const { return top + height - (value - y_min) / (y_max - y_min) * height; }
  double ValueX(double x) const { return x_min + (x - left) / width * (x_max - x_min); }
  double ValueY(double y) const { return y_min + (top + height - y) / height * (y_max - y_min); }
};

struct Picture {
  std::string svg;
  HotSpotResult result;
};

struct Row {
  std::string name, histogram;
  int curve = 6;
  std::string curve_file = "";
  double scf = 1.0, thickness = 0.0, design_life = 0.0;
  std::string caption = "";  // a piece of the caption
};

// Histograms of `blocks` blocks of 0.05 MPa whose counts go down and up again.
std::string ManyBlocks(int blocks) {
  std::string text = std::to_string(blocks) + " 0.05 0\n";
  for (int i = 0; i < blocks; ++i) {
    text += "1 " + std::to_string(1e8 * std::pow(0.9993, i) * (1.2 + std::sin(i))) + "\n";
  }
  return text;
}

const std::vector<Row>& Rows() {
  static const std::string example = testing::ReadTestFile("data/example_histogram.txt");
  static const std::vector<Row> rows = {
      {.name = "brace 12",
       .histogram = example,
       .scf = 1.5,
       .thickness = 40,
       .design_life = 25,
       .caption = "DFF 1: utilisation 0.0029091, <tspan class=\"pass\">pass"},
      {.name = "limit, no cycles in 3 blocks",
       .histogram = "6 10 0\n1 0\n2 1e5\n3 0\n4 2e3\n5 0\n6 9\n",
       .curve = 46,
       .scf = 1.2,
       .design_life = 20,
       .caption = "cycles in 20 years"},
      {.name = "below the limit",
       .histogram = "3 2 0\n1 1e6\n2 1e5\n3 1e4\n",
       .curve = 46,
       .caption = "no block does damage"},
      // the second segment is never chosen: its end stress lies above the first's
      {.name = "user curve",
       .histogram = example,
       .curve = 0,
       .curve_file = "odd\n3 3 0\n12 3 1e6\n13 3 1e5\n15 5 0\n",
       .scf = 40,
       .caption = "SN-curve: odd (user-defined)"},
      {.name = "no blocks", .histogram = "0 10 0\n", .caption = "cycles per year"},
      {.name = "300 blocks", .histogram = ManyBlocks(300), .scf = 60},
      {.name = "10000 blocks", .histogram = ManyBlocks(10000), .scf = 2},
      {.name = "<&>\"'\\ \xFF",
       .histogram = example,
       .caption = "Hot spot &lt;&amp;&gt;&quot;&#39;\\\\ \\xFF</text>"},
  };
  return rows;
}

// Evaluates and draws each row, and calls check(row, picture) while the result is valid.
template <typename Check>
void ForEachPicture(Check check) {
  testing::TemporaryDirectory directory;
  const std::string folder = directory.path().string() + "/";
  Catalogue catalogue;
  EXPECT_TRUE(BuildCatalogue(catalogue, 99));
  HotSpotStorage storage;
  PictureFrames frames;  // from picture to picture, as a batch keeps them
  for (const Row& row : Rows()) {
    SCOPED_TRACE(row.name);
    std::ofstream(folder + "h.txt") << row.histogram;
    std::ofstream(folder + "c.txt") << row.curve_file;
    HotSpotInputs inputs{.histogram = folder + "h.txt",
                         .curve_number = row.curve,
                         .curve_file = folder + "c.txt",
                         .plate = {row.thickness, row.scf},
                         .has_design_life = row.design_life > 0,
                         .design_life = row.design_life};
    Picture picture;
    EvaluateHotSpot(catalogue, inputs, storage, picture.result);
    EXPECT_EQ(picture.result.status, 0) << picture.result.message;
    DrawHotSpot(row.name, inputs, picture.result, frames, picture.svg);
    check(row, picture);
  }
}

// Each drawn segment on log N = LogA - m log S of its own segment, at both ends, and at its
// middle the segment that the damage sum chooses there; the fatigue limit at the last end.
void CheckCurve(const Picture& picture, const Axes& axes) {
  const std::span<const double> curve = picture.result.curve;
  const auto first = static_cast<std::size_t>(HeaderInteger(curve, kIFirstLin));
  const std::span<const double> segments = curve.subspan(first - 1);
  const int nSNlin = HeaderInteger(curve, kNSNlin);
  for (const std::string_view line : Elements(picture.svg, "curve")) {
    if (!line.starts_with("<polyline")) continue;
    const auto j = static_cast<std::size_t>(Number(Text(line, "data-segment")));
    const double logA = segments[3 * j - 3], m = segments[3 * j - 2];
    const auto points = Points(line);
    ASSERT_EQ(points.size(), 2U) << line;
    for (const auto& [x, y] : points) {
      EXPECT_NEAR(x, axes.X(logA - m * axes.ValueY(y)), 0.5) << line;
    }
    const double middle = axes.ValueY((points[0].second + points[1].second) / 2);
    const double cycles = 1 / cyc2fail(std::pow(10, middle), segments, 3, nSNlin);
    EXPECT_NEAR(axes.X(std::log10(cycles)), (points[0].first + points[1].first) / 2, 0.5) << line;
  }
  for (const std::string_view line : Elements(picture.svg, "fatigue-limit")) {
    const auto j = static_cast<std::size_t>(nSNlin);
    const double limit =
        std::pow(segments[3 * j - 1] / std::pow(10, segments[3 * j - 3]), -1 / segments[3 * j - 2]);
    for (const auto& [x, y] : Points(line)) EXPECT_NEAR(y, axes.Y(std::log10(limit)), 0.5);
  }
}

// A corner at each block with cycles: its stress range used and the cycles from the highest
// block down to it, over the design life; blocks without cycles make none.
void CheckSpectrum(const Picture& picture, const Axes& axes, double years) {
  const auto lines = Elements(picture.svg, "spectrum");
  const auto points = lines.empty() ? decltype(Points("")){} : Points(lines[0]);
  double cycles = 0;
  std::size_t corners = 0;
  for (std::size_t block = picture.result.blocks.size(); block-- > 0;) {
    if (picture.result.counts[block] == 0) continue;
    cycles += picture.result.counts[block] * years;
    const double x = axes.X(std::log10(cycles));
    const double y = axes.Y(std::log10(picture.result.blocks[block].stress_range));
    const bool found = std::any_of(points.begin(), points.end(), [&](const auto& point) {
      return std::abs(point.first - x) <= 0.5 && std::abs(point.second - y) <= 0.5;
    });
    EXPECT_TRUE(found || picture.result.blocks.size() > 200) << "block " << block + 1;
    ++corners;
  }
  if (corners > 0 && picture.result.blocks.size() <= 200) {
    EXPECT_EQ(points.size(), 2 * corners + 1);
  }
}

// A bar per block that does damage, over its stress range, their shares adding up to 100 %;
// beyond 200 blocks one outline; the governing block the first of the largest damage.
void CheckBars(const Picture& picture, const Axes& axes) {
  const HotSpotResult& result = picture.result;
  const auto bars = Elements(picture.svg, "bar");
  std::size_t damaging = 0, governing = 0;
  for (std::size_t block = 0; block < result.blocks.size(); ++block) {
    damaging += result.blocks[block].damage > 0 ? 1 : 0;
    if (result.blocks[block].damage > result.blocks[governing].damage) governing = block;
  }
  EXPECT_EQ(Elements(picture.svg, "bars-outline").size(), result.blocks.size() > 200 ? 1U : 0U);
  EXPECT_EQ(bars.size(), result.blocks.size() > 200 ? 0 : damaging);
  EXPECT_EQ(Elements(picture.svg, "no-damage").empty(), damaging > 0);
  double shares = 0;
  for (std::size_t block = 0, at = 0; at < bars.size() && block < result.blocks.size(); ++block) {
    if (result.blocks[block].damage == 0) continue;
    const std::string_view bar = bars[at++];
    const double x = Number(Text(bar, "x")) + Number(Text(bar, "width")) / 2;
    EXPECT_NEAR(x, axes.X(result.blocks[block].stress_range), 0.5) << bar;
    shares += axes.ValueY(Number(Text(bar, "y"))) -
              axes.ValueY(Number(Text(bar, "y")) + Number(Text(bar, "height")));
    EXPECT_EQ(Elements(bar, "governing").size(), block == governing ? 1U : 0U) << bar;
  }
  if (!bars.empty()) {
    EXPECT_NEAR(shares, 100, 0.05);
  }
}

TEST(HotSpotPicture, ReadsBackAsTheEvaluation) {
  ForEachPicture([](const Row& row, const Picture& picture) {
    const std::string& svg = picture.svg;
    EXPECT_NE(svg.find("viewBox=\"0 0 900 600\""), std::string::npos);
    EXPECT_LT(svg.size(), 1000000U);
    EXPECT_NE(svg.find(row.caption), std::string::npos) << row.caption;
    for (std::size_t at = 0; (at = svg.find("font-size", at)) != std::string::npos; ++at) {
      EXPECT_GE(std::atof(svg.c_str() + at + 10 + (svg[at + 9] == '=')), 11) << svg.substr(at, 20);
    }
    const auto plots = Elements(svg, "plot");
    ASSERT_EQ(plots.size(), 2U);
    CheckCurve(picture, Axes(plots[0]));
    CheckSpectrum(picture, Axes(plots[0]), row.design_life > 0 ? row.design_life : 1);
    CheckBars(picture, Axes(plots[1]));
  });
}

TEST(HotSpotPicture, IsWellFormedXml) {
  if (std::system("xmllint --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no xmllint";
  testing::TemporaryDirectory directory;
  ForEachPicture([&](const Row&, const Picture& picture) {
    const std::string path = directory.path().string() + "/p.svg";
    std::ofstream(path) << picture.svg;
    EXPECT_EQ(std::system(("xmllint --noout " + path).c_str()), 0) << picture.svg.substr(0, 2000);
  });
}

}  // namespace
}  // namespace qartwo

// The pixel-art source format (errors, palettes, drawing) and the game's own pictures drawn
// from data/art: sizes, cut-outs and looks that the game's drawing code relies on.
#include "tools/art_source.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "app/backdrop.h"
#include "app/hud.h"

namespace {

constexpr const char* kPalette =
    "palette test\n"
    "  r ff0000\n"
    "  g 00ff00\n"
    "  h ffffff40\n"
    "end\n";

// Parses the palette and then `text` as "t.txt"; returns the error, empty on success.
std::string ParseWithPalette(cArtBook& book, const std::string& text) {
  std::string error;
  EXPECT_TRUE(book.Parse("palette.txt", kPalette, error)) << error;
  error.clear();
  book.Parse("t.txt", text, error);
  return error;
}

std::string ErrorOf(const std::string& text) {
  cArtBook book;
  return ParseWithPalette(book, text);
}

ArtColour Pixel(const cArtBook& book, const std::string& name, int x, int y) {
  const ArtImage* image = book.Find(name);
  return image ? image->At(x, y) : ArtColour{1, 2, 3, 4};
}

constexpr ArtColour kRed = {255, 0, 0, 255};
constexpr ArtColour kGreen = {0, 255, 0, 255};
constexpr ArtColour kClear = {0, 0, 0, 0};

TEST(ArtSourceTest, ErrorsNameTheFileLineAndColumn) {
  EXPECT_EQ(ErrorOf("use test\npicture a 3 1\n  rxr\nend\n"),
            "t.txt:3:4: colour 'x' is not in the palette");
  EXPECT_EQ(ErrorOf("use test\npicture a 3 2\n  rgr\n  rg\nend\n"),
            "t.txt:4:5: row has 2 pixels, expected 3");
  EXPECT_EQ(ErrorOf("use test\npicture a 2 2\n  rg\nend\n"),
            "t.txt:4:1: picture has 1 rows, expected 2");
  EXPECT_EQ(ErrorOf("use test\n\npicture a 1 1\n  r\n"),
            "t.txt:3:1: 'picture' block is not closed with 'end'");
  EXPECT_EQ(ErrorOf("use nothing\n"), "t.txt:1:5: no palette named nothing");
  EXPECT_EQ(ErrorOf("colour q 12345\n"), "t.txt:1:10: '12345' is not RRGGBB or RRGGBBAA");
  EXPECT_EQ(ErrorOf("colour . 123456\n"),
            "t.txt:1:8: '.' cannot name a colour (one character; not . # \")");
  EXPECT_EQ(ErrorOf("draw a\n"), "t.txt:1:1: unknown command 'draw'");
  EXPECT_EQ(ErrorOf("picture a.png 1 1\n  .\nend\npicture a.png 1 1\n  .\nend\n"),
            "t.txt:4:9: a.png is already defined");
  EXPECT_EQ(ErrorOf("canvas a 4 4\n  stamp b 0 0\nend\n"), "t.txt:2:9: no picture named b");
  EXPECT_EQ(ErrorOf("use test\ncanvas a 4 4\n  fill r 0 0 4\nend\n"),
            "t.txt:3:14: expected: fill C X Y W H");
  EXPECT_EQ(ErrorOf("use test\ncanvas a 40 9\n  text r 0 0 1 \"AB{\"\nend\n"),
            "t.txt:3:19: the font has no '{'");
  EXPECT_EQ(ErrorOf("canvas a 4 4\n  text r 0 0 1 \"AB\nend\n"), "t.txt:2:16: unclosed quote");
  // A picture cannot stamp itself: it has no name until its 'end'.
  EXPECT_EQ(ErrorOf("canvas a 4 4\n  stamp a 0 0\nend\n"), "t.txt:2:9: no picture named a");

  cArtBook book;
  std::string error;
  EXPECT_FALSE(book.ParseFile("/no/such/art.txt", error));
  EXPECT_EQ(error, "/no/such/art.txt: cannot be read");
}

TEST(ArtSourceTest, PalettesColourThePixelsAndDotIsClear) {
  cArtBook book;
  ASSERT_EQ(ParseWithPalette(book,
                             "# comments and blank lines are skipped\n"
                             "\n"
                             "use test\n"
                             "colour g 0000ff   # this file's green is blue\n"
                             "picture a.png 3 2 scale 2\n"
                             "  r.g\n"
                             "  h..\n"
                             "end\n"),
            "");
  const ArtImage* a = book.Find("a.png");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->width, 6);
  EXPECT_EQ(a->height, 4);
  EXPECT_EQ(a->At(0, 0), kRed);
  EXPECT_EQ(a->At(1, 1), kRed);  // scale 2: each character is a 2 x 2 block
  EXPECT_EQ(a->At(2, 0), kClear);
  EXPECT_EQ(a->At(4, 0), (ArtColour{0, 0, 255, 255}));
  EXPECT_EQ(a->At(0, 2), (ArtColour{255, 255, 255, 0x40}));

  // The local colour stays in its file: a second file using the palette gets green back.
  std::string error;
  ASSERT_TRUE(book.Parse("u.txt", "use test\npicture b.png 1 1\n  g\nend\n", error)) << error;
  EXPECT_EQ(Pixel(book, "b.png", 0, 0), kGreen);
  // A file that did not 'use' a palette has no colours at all.
  EXPECT_FALSE(book.Parse("v.txt", "picture c 1 1\n  r\nend\n", error));
  EXPECT_EQ(error, "v.txt:2:3: colour 'r' is not in the palette");

  // Only *.png pictures are written out, in source order.
  ASSERT_TRUE(book.Parse("w.txt", "use test\npicture piece 1 1\n  r\nend\n", error)) << error;
  std::vector<std::string> names;
  for (const ArtPicture* p : book.Outputs()) names.push_back(p->name);
  EXPECT_EQ(names, (std::vector<std::string>{"a.png", "b.png"}));
}

TEST(ArtSourceTest, CanvasCommandsDrawWhereTheySay) {
  cArtBook book;
  ASSERT_EQ(ParseWithPalette(book,
                             "use test\n"
                             "picture arrow 2 1\n"
                             "  rg\n"
                             "end\n"
                             "canvas c.png 12 12 g\n"
                             "  fill r 0 0 2 2\n"
                             "  fill . 11 11 5 5\n"  // clipped at the edge
                             "  stamp arrow 4 0 flipx\n"
                             "  stamp arrow 4 2 scale 2\n"
                             "  tile arrow 0 5 5 1\n"
                             "  recolour r h 0 5 2 1\n"
                             "  dots . 6 6  7 6\n"
                             "  text r 0 7 1 \"I\"\n"
                             "end\n"),
            "");
  EXPECT_EQ(Pixel(book, "c.png", 1, 1), kRed);
  EXPECT_EQ(Pixel(book, "c.png", 2, 2), kGreen);
  EXPECT_EQ(Pixel(book, "c.png", 11, 11), kClear);
  EXPECT_EQ(Pixel(book, "c.png", 4, 0), kGreen);  // mirrored
  EXPECT_EQ(Pixel(book, "c.png", 5, 0), kRed);
  EXPECT_EQ(Pixel(book, "c.png", 5, 3), kRed);  // doubled
  EXPECT_EQ(Pixel(book, "c.png", 6, 3), kGreen);
  EXPECT_EQ(Pixel(book, "c.png", 0, 5), (ArtColour{255, 255, 255, 0x40}));  // recoloured
  EXPECT_EQ(Pixel(book, "c.png", 2, 5), kRed);  // the tile repeats, outside the recolouring
  EXPECT_EQ(Pixel(book, "c.png", 3, 5), kGreen);
  EXPECT_EQ(Pixel(book, "c.png", 6, 6), kClear);
  // 'I' is a bar over a stem: the top row is ink across, the second only in the middle.
  EXPECT_EQ(Pixel(book, "c.png", 0, 7), kRed);
  EXPECT_EQ(Pixel(book, "c.png", 4, 7), kRed);
  EXPECT_EQ(Pixel(book, "c.png", 0, 8), kGreen);
  EXPECT_EQ(Pixel(book, "c.png", 2, 8), kRed);
}

// --- the game's pictures --------------------------------------------------------------------

std::vector<std::string> SourcePaths() {
  std::vector<std::string> paths;
  std::stringstream list(BRINKHOP_ART_SOURCES);
  for (std::string path; std::getline(list, path, ',');) paths.push_back(path);
  return paths;
}

class GameArtTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    book_ = new cArtBook;
    for (const std::string& path : SourcePaths()) {
      std::string error;
      ASSERT_TRUE(book_->ParseFile(path, error)) << error;
    }
  }
  static void TearDownTestSuite() {
    delete book_;
    book_ = nullptr;
  }
  static const ArtImage& Get(const std::string& name) {
    static const ArtImage kMissing;
    const ArtImage* image = book_->Find(name);
    EXPECT_NE(image, nullptr) << name;
    return image ? *image : kMissing;
  }
  // Share of pixels in the rectangle whose alpha is at least `alpha`.
  static double Covered(const ArtImage& image, int x0, int y0, int w, int h, int alpha = 128) {
    int count = 0;
    for (int y = y0; y < y0 + h; ++y)
      for (int x = x0; x < x0 + w; ++x) count += image.At(x, y).a >= alpha;
    return w > 0 && h > 0 ? double(count) / (w * h) : 0.0;
  }
  static bool RowHasInk(const ArtImage& image, int y) {
    return Covered(image, 0, y, image.width, 1) > 0;
  }
  static int Differences(const ArtImage& a, const ArtImage& b) {
    if (a.width != b.width || a.height != b.height) return -1;
    int count = 0;
    for (int y = 0; y < a.height; ++y)
      for (int x = 0; x < a.width; ++x) count += !(a.At(x, y) == b.At(x, y));
    return count;
  }
  // Whether `a` is `b` turned left for right.
  static bool Mirrored(const ArtImage& a, const ArtImage& b) {
    for (int y = 0; y < a.height; ++y)
      for (int x = 0; x < a.width; ++x)
        if (!(a.At(x, y) == b.At(b.width - 1 - x, y))) return false;
    return a.width == b.width && a.height == b.height;
  }
  static cArtBook* book_;
};
cArtBook* GameArtTest::book_ = nullptr;

TEST_F(GameArtTest, EveryPictureTheGameLoadsHasItsSize) {
  const struct {
    int width, height;
    std::string names;  // separated by spaces
  } expected[] = {
      // The start screen fills the landscape view and the button sheets just cover their
      // cut-outs; a shell is drawn 29 high, the winged turtle and the boss at twice an enemy's
      // size; the fire field burns a 70 x 70 square; the board is three cells to stand on;
      // fireballs, debris and the death marker are smaller than a cell; a checkpoint's pole
      // stands two cells high, the goal four.
      {480, 320, "BG.png"},
      {192, 238, "control.png"},
      {180, 256, "social.png"},
      {32, 29, "shell1.png shell2.png shell3.png shell4.png"},
      {64, 64, "fly1.png fly2.png boss1.png boss2.png boss_hurt.png"},
      {70, 70, "fire.png"},
      {96, 16, "brett.png"},
      {16, 16, "fire1.png fire2.png fire3.png fire4.png death_marker.png"},
      {12, 12, "smallstone.png"},
      {32, 64, "flag_down.png flag_up.png"},
      {64, 128, "goal.png"},
      {4, 4, "results_panel.png"},
      {kSpeakerSize, kSpeakerSize, "speaker_on.png speaker_off.png"},
      // The backdrops: the sky is stretched across the view, the layers repeat every 480 px
      // at the heights the game draws them, and the dark ones repeat every 64 px.
      {16, 320, "backdrop_sky.png"},
      {kBackdropRepeat, kBackdropLayerTable[0].height, kBackdropLayerTable[0].picture},
      {kBackdropRepeat, kBackdropLayerTable[1].height, kBackdropLayerTable[1].picture},
      {kBackdropRepeat, kBackdropLayerTable[2].height, kBackdropLayerTable[2].picture},
      {64, 64, "backdrop_cave.png backdrop_castle.png"},
      // The browser version's home-screen icons, at the sizes a web app manifest names.
      {192, 192, "icon-192.png"},
      {512, 512, "icon-512.png icon-maskable.png"},
      // Everything else is one cell.
      {32, 32,
       "tile.png tile1.png tile2.png tile3.png tile4.png stone.png box.png boxempty.png "
       "invisible.png coin1.png coin2.png coin3.png coin4.png deco1.png deco2.png deco3.png "
       "deco4.png deco5.png deco6.png deco7.png bonus1.png bonus2.png bonus3.png bonus4.png "
       "bonus5.png bonus6.png player1.png player2.png player3.png crawler1.png crawler2.png "
       "crawler3.png spiky1.png spiky2.png turtle1.png turtle2.png cannon.png "
       "cannon_bulletl.png cannon_bulletr.png blume1.png blume2.png hammer.png tell_crack.png "
       "walkwayl1.png walkwayl2.png walkwayl3.png walkwayl4.png walkwayr1.png walkwayr2.png "
       "walkwayr3.png walkwayr4.png pipe_green.png pipe_green_body.png pipe_orange.png "
       "pipe_orange_body.png pipe_green_side.png pipe_green_side_body.png pipe_blue.png "
       "pipe_blue_body.png"},
  };
  std::set<std::string> names;
  for (const auto& e : expected) {
    std::stringstream list(e.names);
    for (std::string name; list >> name;) {
      names.insert(name);
      EXPECT_EQ(Get(name).width, e.width) << name;
      EXPECT_EQ(Get(name).height, e.height) << name;
    }
  }
  // Nothing missing and nothing extra is written into the game's folder.
  std::set<std::string> written;
  for (const ArtPicture* p : book_->Outputs()) written.insert(p->name);
  EXPECT_EQ(written, names);
}

// A layer drawn piece by piece shows only its pieces: nothing of the picture may lie outside.
TEST_F(GameArtTest, BackdropPiecesHoldEverythingTheirLayerShows) {
  for (const BackdropLayer& layer : kBackdropLayerTable) {
    if (layer.pieceCount == 0) continue;
    SCOPED_TRACE(layer.picture);
    const ArtImage& image = Get(layer.picture);
    int outside = 0;
    for (int y = 0; y < image.height; ++y)
      for (int x = 0; x < image.width; ++x) {
        if (image.At(x, y).a == 0) continue;
        bool inside = false;
        for (int p = 0; p < layer.pieceCount; ++p) {
          const BackdropPiece& piece = layer.pieces[p];
          inside |= x >= piece.x && x < piece.x + piece.width && y >= piece.y &&
                    y < piece.y + piece.height;
        }
        outside += !inside;
      }
    EXPECT_EQ(outside, 0);
  }
}

TEST_F(GameArtTest, ButtonCutOutsAreFilledAndTheSheetsHoldNothingElse) {
  struct CutOut {
    const char* image;
    int x, y, w, h;
  };
  const CutOut buttons[] = {
      {"control.png", 0, 0, 64, 64},    {"control.png", 64, 0, 64, 64},
      {"control.png", 128, 0, 64, 64},  {"control.png", 64, 128, 64, 64},
      {"control.png", 0, 192, 184, 46}, {"social.png", 0, 214, 180, 42},
  };
  for (const CutOut& b : buttons) {
    const ArtImage& image = Get(b.image);
    // Visible to a thumb: most of the button is drawn, at least faintly.
    EXPECT_GT(Covered(image, b.x, b.y, b.w, b.h, 64), 0.5)
        << b.image << " at " << b.x << "," << b.y;
  }
  // The left and right arrows mirror each other.
  const ArtImage& control = Get("control.png");
  int mismatches = 0;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) mismatches += !(control.At(x, y) == control.At(127 - x, y));
  EXPECT_EQ(mismatches, 0);
  // Between the cut-outs the sheets are clear, so no stray pixels show at a button's edge.
  EXPECT_EQ(Covered(control, 0, 64, 192, 64, 1), 0.0);
  EXPECT_EQ(Covered(control, 0, 128, 64, 64, 1), 0.0);
  EXPECT_EQ(Covered(control, 128, 128, 64, 64, 1), 0.0);
  EXPECT_EQ(Covered(control, 184, 192, 8, 46, 1), 0.0);
  EXPECT_EQ(Covered(Get("social.png"), 0, 0, 180, 214, 1), 0.0);
  // The start screen fills the view: no hole shows the clear colour behind it.
  EXPECT_EQ(Covered(Get("BG.png"), 0, 0, 480, 320, 255), 1.0);
}

TEST_F(GameArtTest, BlocksAreSolidAndTheGroundFacesDifferOnlyALittle) {
  for (const char* name : {"tile.png", "tile1.png", "tile2.png", "tile3.png", "tile4.png",
                           "stone.png", "box.png", "boxempty.png"})
    EXPECT_EQ(Covered(Get(name), 0, 0, 32, 32, 255), 1.0) << name << " shows the sky through";
  // The shuffled ground faces: each differs from tile.png, in no more than a few pixels.
  for (const char* name : {"tile1.png", "tile2.png", "tile3.png", "tile4.png"}) {
    const int differences = Differences(Get("tile.png"), Get(name));
    EXPECT_GT(differences, 0) << name;
    EXPECT_LE(differences, 8) << name;
  }
  // The hidden box passes the game's alpha test (alpha above 0.1) but only just shows.
  const ArtImage& invisible = Get("invisible.png");
  EXPECT_GT(Covered(invisible, 0, 0, 32, 32, 26), 0.0);
  EXPECT_EQ(Covered(invisible, 0, 0, 32, 32, 80), 0.0);
  EXPECT_LT(Covered(invisible, 0, 0, 32, 32, 1), 0.25);
  // The struck box looks plainly different from the full one.
  EXPECT_GT(Differences(Get("box.png"), Get("boxempty.png")), 32 * 32 / 2);
}

// Walkways are solid blocks with a belt: no sky through them, and the left ones are the right
// ones mirrored, frame for frame, so the belt runs the other way. Pipes are a rim wider than
// the body, a body that stacks under the top without a seam, in three colours.
TEST_F(GameArtTest, WalkwaysAndPipesReadAsWhatTheyAre) {
  for (int frame = 1; frame <= 4; ++frame) {
    const std::string n = std::to_string(frame);
    const ArtImage& right = Get("walkwayr" + n + ".png");
    const ArtImage& left = Get("walkwayl" + n + ".png");
    EXPECT_EQ(Covered(right, 0, 0, 32, 32, 255), 1.0) << n;
    EXPECT_TRUE(Mirrored(left, right)) << n;
    EXPECT_GT(Differences(Get("coin" + n + ".png"), right), 32 * 32 / 2) << n;
  }
  std::vector<ArtColour> bodies;
  for (const char* colour : {"green", "orange", "blue"}) {
    const ArtImage& top = Get(std::string("pipe_") + colour + ".png");
    const ArtImage& body = Get(std::string("pipe_") + colour + "_body.png");
    EXPECT_EQ(Covered(top, 0, 4, 32, 1, 255), 1.0) << colour << ": the rim spans the cell";
    EXPECT_EQ(Covered(body, 0, 0, 2, 32, 1), 0.0) << colour << ": the body is narrower";
    EXPECT_EQ(Covered(body, 2, 0, 28, 32, 255), 1.0) << colour;
    for (int x = 0; x < 32; ++x) {
      EXPECT_TRUE(top.At(x, 31) == body.At(x, 0)) << colour << " seam at " << x;
      EXPECT_TRUE(body.At(x, 31) == body.At(x, 0)) << colour << " stacks at " << x;
    }
    bodies.push_back(body.At(12, 16));
  }
  EXPECT_FALSE(bodies[0] == bodies[1]);
  EXPECT_FALSE(bodies[1] == bodies[2]);
  EXPECT_FALSE(bodies[0] == bodies[2]);
}

TEST_F(GameArtTest, PicturesSitWhereTheGameExpectsThem) {
  // Floor spikes stand on the bottom of their cell; ceiling spikes hang from the top.
  EXPECT_TRUE(RowHasInk(Get("deco3.png"), 31));
  EXPECT_FALSE(RowHasInk(Get("deco3.png"), 0));
  EXPECT_TRUE(RowHasInk(Get("deco4.png"), 0));
  EXPECT_FALSE(RowHasInk(Get("deco4.png"), 31));
  // Things that stand on the ground reach the bottom row of their picture.
  for (const char* name :
       {"deco1.png", "deco2.png", "deco5.png", "deco6.png", "player1.png", "player2.png",
        "crawler1.png", "crawler2.png", "spiky1.png", "spiky2.png", "turtle1.png", "turtle2.png",
        "cannon.png", "shell1.png", "shell2.png"})
    EXPECT_TRUE(RowHasInk(Get(name), Get(name).height - 1)) << name << " floats";
  // The winged turtle's feet are where the walking turtle's are: the bottom of the middle
  // 32 x 32 of its 64 x 64 picture.
  for (const char* name : {"fly1.png", "fly2.png"}) {
    EXPECT_TRUE(RowHasInk(Get(name), 47)) << name;
    EXPECT_FALSE(RowHasInk(Get(name), 48)) << name;
  }
  // The bullets fly in the top half of their cell and mirror each other.
  const ArtImage& left = Get("cannon_bulletl.png");
  const ArtImage& right = Get("cannon_bulletr.png");
  EXPECT_TRUE(RowHasInk(right, 0));
  EXPECT_FALSE(RowHasInk(right, 20));
  EXPECT_TRUE(Mirrored(left, right));
}

TEST_F(GameArtTest, AnimationFramesMove) {
  const std::pair<const char*, const char*> frames[] = {
      {"player1.png", "player2.png"},     {"player2.png", "player3.png"},
      {"crawler1.png", "crawler2.png"},   {"spiky1.png", "spiky2.png"},
      {"turtle1.png", "turtle2.png"},     {"shell1.png", "shell2.png"},
      {"fly1.png", "fly2.png"},           {"blume1.png", "blume2.png"},
      {"coin1.png", "coin2.png"},         {"coin2.png", "coin3.png"},
      {"fire1.png", "fire2.png"},         {"fire2.png", "fire3.png"},
      {"fire3.png", "fire4.png"},         {"walkwayr1.png", "walkwayr2.png"},
      {"walkwayr2.png", "walkwayr3.png"}, {"walkwayr3.png", "walkwayr4.png"},
      {"walkwayr4.png", "walkwayr1.png"}, {"walkwayl1.png", "walkwayl2.png"},
  };
  for (const auto& [a, b] : frames)
    EXPECT_GT(Differences(Get(a), Get(b)), 8) << a << " and " << b << " look the same";
}

}  // namespace

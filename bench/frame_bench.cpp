// The cost of one headless frame (input, two sub-steps, world pass, heads-up pass) and of
// the sprite batch on its own.
#include <benchmark/benchmark.h>

#include "app/game.h"
#include "engine/font.h"
#include "engine/gl_setup.h"
#include "engine/sprite_batch.h"
#include "engine/texture.h"
#include "platform/headless.h"

namespace {

void BM_HeadlessFrame(benchmark::State& state) {
  UseHeadlessPlatform();
  Texture font{1, 1520, 16, 1520, 16};
  gFontTexture = &font;
  SetScreenInfo(320, 480, 3);
  for (auto _ : state) Frame();
  gFontTexture = nullptr;
}
BENCHMARK(BM_HeadlessFrame);

void BM_BatchThousandSprites(benchmark::State& state) {
  Texture textures[8];
  for (uint32_t i = 0; i < 8; ++i) textures[i] = Texture{i + 1, 32, 32, 32, 32};
  cSpriteBatch& batch = cSpriteBatch::Instance();
  for (auto _ : state) {
    batch.Begin(false);
    for (int i = 0; i < 1000; ++i)
      DrawSpriteRotated(&textures[i % 8], i, i / 2, 32, 32, i & 3, i % 360);
    batch.Flush();
  }
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_BatchThousandSprites);

}  // namespace

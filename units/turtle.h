// Turtles, which hide in shells that can be kicked into everything, and winged turtles, which
// hop until stomped down to a plain turtle.
#pragma once

#include "units/enemy.h"

class cTurtle : public cEnemy {
 public:
  cTurtle(float x, float y);
  // Resting shells count down and come out; sliding shells knock enemies and strike blocks;
  // a resting shell touched from a side is kicked.
  void Touch() override;
  // Walking or sliding: a resting shell. Resting: launched to the right.
  void Stomp() override;
  void Render() override;

  bool InShell() const { return shellTimer != 0; }
  bool Sliding() const { return shellTimer != 0 && speedX != 0; }

  int32_t shellTimer = 0;  // 0: walking; otherwise in its shell, counting down while at rest
};

class cTurtleFly : public cEnemy {
 public:
  cTurtleFly(float x, float y);
  void Touch() override;  // hops, and hurts from the sides
  void Stomp() override;  // loses its wings: a walking turtle in its place
  void Render() override;

  int32_t hopTimer = 50;  // steps since the hop began; it rises while below 15
};

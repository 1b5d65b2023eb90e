#include "graphics/Graphics_D3DX8.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace px;

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

void ExpectNear(const D3DXMATRIX& actual, std::array<std::array<float, 4>, 4> expected) {
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) EXPECT_NEAR(actual(i, j), expected[i][j], 1e-5f) << i << "," << j;
}

void ExpectPoint(const D3DXVECTOR3& p, float x, float y, float z) {
  EXPECT_NEAR(p.x, x, 1e-5f);
  EXPECT_NEAR(p.y, y, 1e-5f);
  EXPECT_NEAR(p.z, z, 1e-5f);
}

}  // namespace

TEST(D3DX, RotationsAreLeftHandedRowVector) {
  // A quarter turn about z takes +x to +y; about x takes +y to +z; about y
  // takes +z to +x.
  ExpectPoint(D3DXVec3TransformCoord({1, 0, 0}, D3DXMatrixRotationZ(kPi / 2)), 0, 1, 0);
  ExpectPoint(D3DXVec3TransformCoord({0, 1, 0}, D3DXMatrixRotationX(kPi / 2)), 0, 0, 1);
  ExpectPoint(D3DXVec3TransformCoord({0, 0, 1}, D3DXMatrixRotationY(kPi / 2)), 1, 0, 0);
  ExpectNear(D3DXMatrixRotationZ(kPi / 6),
             {{{0.8660254f, 0.5f, 0, 0}, {-0.5f, 0.8660254f, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}});
}

TEST(D3DX, AxisRotationMatchesTheAxisAlignedOnes) {
  const struct {
    D3DXVECTOR3 axis;
    D3DXMATRIX expected;
  } cases[] = {
      {{2, 0, 0}, D3DXMatrixRotationX(0.7f)},
      {{0, 5, 0}, D3DXMatrixRotationY(0.7f)},
      {{0, 0, -1}, D3DXMatrixRotationZ(-0.7f)},
  };
  for (const auto& c : cases) ExpectNear(D3DXMatrixRotationAxis(c.axis, 0.7f), c.expected.m);
  ExpectNear(D3DXMatrixRotationAxis({0, 0, 0}, 1.0f), D3DXMatrixIdentity().m);
  // 120 degrees about (1,1,1) cycles the axes.
  ExpectPoint(D3DXVec3TransformCoord({1, 0, 0}, D3DXMatrixRotationAxis({1, 1, 1}, 2 * kPi / 3)), 0,
              1, 0);
}

TEST(D3DX, MultiplyAppliesLeftThenRight) {
  const D3DXMATRIX m =
      D3DXMatrixMultiply(D3DXMatrixScaling(2, 3, 4), D3DXMatrixTranslation(10, 20, 30));
  ExpectNear(m, {{{2, 0, 0, 0}, {0, 3, 0, 0}, {0, 0, 4, 0}, {10, 20, 30, 1}}});
  ExpectPoint(D3DXVec3TransformCoord({1, 1, 1}, m), 12, 23, 34);
}

TEST(D3DX, LookAtMovesTheEyeToTheOriginLookingDownZ) {
  const D3DXMATRIX view = D3DXMatrixLookAtLH({0, 0, -10}, {0, 0, 0}, {0, 1, 0});
  ExpectNear(view, {{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 10, 1}}});
  const D3DXMATRIX side = D3DXMatrixLookAtLH({5, 0, 0}, {0, 0, 0}, {0, 1, 0});
  ExpectPoint(D3DXVec3TransformCoord({0, 0, 0}, side), 0, 0, 5);
  // Looking along -x with y up, the right-hand side of the view is +z.
  ExpectPoint(D3DXVec3TransformCoord({5, 0, 1}, side), 1, 0, 0);
}

TEST(D3DX, Projections) {
  // fov 90 degrees, aspect 2: y scale 1, x scale 0.5; depth 1..101.
  ExpectNear(D3DXMatrixPerspectiveFovLH(kPi / 2, 2, 1, 101),
             {{{0.5f, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1.01f, 1}, {0, 0, -1.01f, 0}}});
  ExpectNear(D3DXMatrixPerspectiveLH(4, 2, 1, 3),
             {{{0.5f, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1.5f, 1}, {0, 0, -1.5f, 0}}});
  ExpectNear(D3DXMatrixOrthoLH(640, 480, -100, 100),
             {{{2 / 640.f, 0, 0, 0}, {0, 2 / 480.f, 0, 0}, {0, 0, 1 / 200.f, 0}, {0, 0, 0.5f, 1}}});
  // Near and far planes land on depth 0 and 1.
  const D3DXMATRIX p = D3DXMatrixPerspectiveFovLH(1.0f, 1.0f, 2, 50);
  EXPECT_NEAR(D3DXVec3TransformCoord({0, 0, 2}, p).z, 0, 1e-5f);
  EXPECT_NEAR(D3DXVec3TransformCoord({0, 0, 50}, p).z, 1, 1e-5f);
}

TEST(D3DX, TextureRequirementsRoundUpToPowersOfTwo) {
  const std::array<std::array<int, 4>, 6> cases{{
      {1, 1, 1, 1},
      {0, -3, 1, 1},
      {32, 33, 32, 64},
      {640, 480, 1024, 512},
      {100000, 2, 8192, 2},
      {8193, 8192, 8192, 8192},
  }};
  for (const auto& c : cases)
    EXPECT_EQ(D3DXCheckTextureRequirements(c[0], c[1]), (TextureSize{c[2], c[3]}))
        << c[0] << "x" << c[1];
}

// The matrix and texture-size helpers of the fixed-function pipeline:
// left-handed coordinates, row vectors (v' = v × M), 4 × 4 float matrices
// laid out row by row, as the renderer and 3D transforms expect them.
#pragma once

#include <array>

namespace px {

struct D3DXVECTOR3 {
  float x = 0, y = 0, z = 0;
};

struct D3DXMATRIX {
  std::array<std::array<float, 4>, 4> m{};
  float& operator()(int row, int col) { return m[row][col]; }
  float operator()(int row, int col) const { return m[row][col]; }
  bool operator==(const D3DXMATRIX&) const = default;
};

D3DXMATRIX D3DXMatrixIdentity();
D3DXMATRIX D3DXMatrixScaling(float sx, float sy, float sz);
D3DXMATRIX D3DXMatrixTranslation(float x, float y, float z);
// Angles in radians, clockwise when looking along the axis towards the origin.
D3DXMATRIX D3DXMatrixRotationX(float angle);
D3DXMATRIX D3DXMatrixRotationY(float angle);
D3DXMATRIX D3DXMatrixRotationZ(float angle);
// The axis need not be normalised; a zero axis gives the identity.
D3DXMATRIX D3DXMatrixRotationAxis(const D3DXVECTOR3& axis, float angle);
// a × b: applying the result applies a first, then b.
D3DXMATRIX D3DXMatrixMultiply(const D3DXMATRIX& a, const D3DXMATRIX& b);
D3DXMATRIX D3DXMatrixLookAtLH(const D3DXVECTOR3& eye, const D3DXVECTOR3& at, const D3DXVECTOR3& up);
D3DXMATRIX D3DXMatrixPerspectiveFovLH(float fovY, float aspect, float zNear, float zFar);
D3DXMATRIX D3DXMatrixPerspectiveLH(float width, float height, float zNear, float zFar);
D3DXMATRIX D3DXMatrixOrthoLH(float width, float height, float zNear, float zFar);

// v × M with w = 1, then divided by the resulting w.
D3DXVECTOR3 D3DXVec3TransformCoord(const D3DXVECTOR3& v, const D3DXMATRIX& m);

struct TextureSize {
  int width = 0;
  int height = 0;
  bool operator==(const TextureSize&) const = default;
};
// The texture size the device can use for a requested one: each side
// rounded up to a power of two, at least 1 and at most maxSize.
TextureSize D3DXCheckTextureRequirements(int width, int height, int maxSize = 8192);

}  // namespace px

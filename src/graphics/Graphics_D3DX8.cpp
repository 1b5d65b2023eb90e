#include "graphics/Graphics_D3DX8.h"

#include <cmath>

namespace px {

namespace {

D3DXVECTOR3 Sub(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}
float Dot(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}
D3DXVECTOR3 Cross(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
D3DXVECTOR3 Normalize(const D3DXVECTOR3& v) {
  const float length = std::sqrt(Dot(v, v));
  if (length == 0) return v;
  return {v.x / length, v.y / length, v.z / length};
}

D3DXMATRIX Rows(std::array<std::array<float, 4>, 4> rows) {
  D3DXMATRIX m;
  m.m = rows;
  return m;
}

}  // namespace

D3DXMATRIX D3DXMatrixIdentity() {
  return D3DXMatrixScaling(1, 1, 1);
}

D3DXMATRIX D3DXMatrixScaling(float sx, float sy, float sz) {
  return Rows({{{sx, 0, 0, 0}, {0, sy, 0, 0}, {0, 0, sz, 0}, {0, 0, 0, 1}}});
}

D3DXMATRIX D3DXMatrixTranslation(float x, float y, float z) {
  return Rows({{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {x, y, z, 1}}});
}

D3DXMATRIX D3DXMatrixRotationX(float angle) {
  const float c = std::cos(angle), s = std::sin(angle);
  return Rows({{{1, 0, 0, 0}, {0, c, s, 0}, {0, -s, c, 0}, {0, 0, 0, 1}}});
}

D3DXMATRIX D3DXMatrixRotationY(float angle) {
  const float c = std::cos(angle), s = std::sin(angle);
  return Rows({{{c, 0, -s, 0}, {0, 1, 0, 0}, {s, 0, c, 0}, {0, 0, 0, 1}}});
}

D3DXMATRIX D3DXMatrixRotationZ(float angle) {
  const float c = std::cos(angle), s = std::sin(angle);
  return Rows({{{c, s, 0, 0}, {-s, c, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}});
}

D3DXMATRIX D3DXMatrixRotationAxis(const D3DXVECTOR3& axis, float angle) {
  const D3DXVECTOR3 v = Normalize(axis);
  if (v.x == 0 && v.y == 0 && v.z == 0) return D3DXMatrixIdentity();
  const float c = std::cos(angle), s = std::sin(angle), t = 1 - c;
  return Rows({{{t * v.x * v.x + c, t * v.x * v.y + s * v.z, t * v.x * v.z - s * v.y, 0},
                {t * v.x * v.y - s * v.z, t * v.y * v.y + c, t * v.y * v.z + s * v.x, 0},
                {t * v.x * v.z + s * v.y, t * v.y * v.z - s * v.x, t * v.z * v.z + c, 0},
                {0, 0, 0, 1}}});
}

D3DXMATRIX D3DXMatrixMultiply(const D3DXMATRIX& a, const D3DXMATRIX& b) {
  D3DXMATRIX r;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] +
                  a.m[i][3] * b.m[3][j];
  return r;
}

D3DXMATRIX D3DXMatrixLookAtLH(const D3DXVECTOR3& eye, const D3DXVECTOR3& at,
                              const D3DXVECTOR3& up) {
  const D3DXVECTOR3 z = Normalize(Sub(at, eye));
  const D3DXVECTOR3 x = Normalize(Cross(up, z));
  const D3DXVECTOR3 y = Cross(z, x);
  return Rows({{{x.x, y.x, z.x, 0},
                {x.y, y.y, z.y, 0},
                {x.z, y.z, z.z, 0},
                {-Dot(x, eye), -Dot(y, eye), -Dot(z, eye), 1}}});
}

D3DXMATRIX D3DXMatrixPerspectiveFovLH(float fovY, float aspect, float zNear, float zFar) {
  const float yScale = 1 / std::tan(fovY / 2);
  const float xScale = yScale / aspect;
  const float q = zFar / (zFar - zNear);
  return Rows({{{xScale, 0, 0, 0}, {0, yScale, 0, 0}, {0, 0, q, 1}, {0, 0, -zNear * q, 0}}});
}

D3DXMATRIX D3DXMatrixPerspectiveLH(float width, float height, float zNear, float zFar) {
  const float q = zFar / (zFar - zNear);
  return Rows({{{2 * zNear / width, 0, 0, 0},
                {0, 2 * zNear / height, 0, 0},
                {0, 0, q, 1},
                {0, 0, -zNear * q, 0}}});
}

D3DXMATRIX D3DXMatrixOrthoLH(float width, float height, float zNear, float zFar) {
  return Rows({{{2 / width, 0, 0, 0},
                {0, 2 / height, 0, 0},
                {0, 0, 1 / (zFar - zNear), 0},
                {0, 0, zNear / (zNear - zFar), 1}}});
}

D3DXVECTOR3 D3DXVec3TransformCoord(const D3DXVECTOR3& v, const D3DXMATRIX& m) {
  float out[4];
  for (int j = 0; j < 4; ++j)
    out[j] = v.x * m.m[0][j] + v.y * m.m[1][j] + v.z * m.m[2][j] + m.m[3][j];
  const float w = out[3] != 0 ? out[3] : 1;
  return {out[0] / w, out[1] / w, out[2] / w};
}

static int PowerOfTwoAtLeast(int n, int maxSize) {
  int p = 1;
  while (p < n && p < maxSize) p *= 2;
  return p;
}

TextureSize D3DXCheckTextureRequirements(int width, int height, int maxSize) {
  return {PowerOfTwoAtLeast(width, maxSize), PowerOfTwoAtLeast(height, maxSize)};
}

}  // namespace px

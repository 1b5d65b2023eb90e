#include "code/Code_Token.h"

#include <utility>

namespace px {

namespace {

// Frees a subtree level by level: every list's grandchildren are moved out
// before the list dies, so each node is destroyed with no children left.
void ReleaseSubtree(RTokenList&& top) {
  std::vector<RTokenList> pending;
  pending.push_back(std::move(top));
  while (!pending.empty()) {
    RTokenList list = std::move(pending.back());
    pending.pop_back();
    for (RToken& child : list) {
      if (!child.children.empty()) pending.push_back(std::move(child.children));
    }
  }
}

}  // namespace

RToken& RToken::operator=(RToken&& other) noexcept {
  if (this == &other) return *this;
  RTokenList old = std::move(children);
  kind = other.kind;
  index = other.index;
  instance = other.instance;
  position = other.position;
  value = std::move(other.value);
  children = std::move(other.children);
  if (!old.empty()) ReleaseSubtree(std::move(old));
  return *this;
}

RToken::~RToken() {
  if (!children.empty()) ReleaseSubtree(std::move(children));
}

}  // namespace px

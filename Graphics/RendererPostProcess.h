#pragma once
// The renderer's post-processing bookkeeping: the pair of screen targets that
// the steps alternate between, and the chain of steps. Nothing in the game
// fills a chain or switches post-processing on.
#include <boost/shared_ptr.hpp>

#include <vector>

#include "Graphics/RenderTarget2D.h"

namespace Graphics {

// Steps name a technique of the post-process effect by number; any other
// number selects none.
enum PostProcessEffectType {
    PostProcessGaussFilter = 0,
    PostProcessColorGrayscale = 1,
    PostProcessColorInverse = 2,
    PostProcessDebugShow = 3,
};

struct RenderTargetPair {
    int index = 0;
    unsigned char flag = 1;
    boost::shared_ptr<RenderTarget2D> targets[2];

    RenderTargetPair() = default;
    RenderTargetPair(const boost::shared_ptr<RenderTarget2D>& first, const boost::shared_ptr<RenderTarget2D>& second)
        : targets{first, second} {}

    const boost::shared_ptr<RenderTarget2D>& Current() const { return targets[index]; }
    const boost::shared_ptr<RenderTarget2D>& Other() const { return targets[1 - index]; }
    void Swap() { index = 1 - index; }
};

// Groups of steps, run in order.
struct PostProcessChain {
    std::vector<std::vector<int>> groups;
};

}  // namespace Graphics

#pragma once
// The resolved tree the layout works on: style and environment modifiers folded into the nodes
// they reach, with a per-node cache of answers to size proposals. Internal to the view layer.
#include "platform/view/Layout.h"
#include "platform/view/Node.h"
#include "platform/view/TextLayout.h"
#include <algorithm>
#include <cmath>
#include <deque>
#include <limits>
#include <memory>
#include <memory_resource>
#include <new>
#include <vector>

namespace velk::view {

struct Inherited {
    TextStyle style;
    Environment env;
};

struct Proposal {
    std::optional<qreal> w, h;
    friend bool operator==(const Proposal&, const Proposal&) = default;
};

struct Measure {
    QSizeF size{0, 0}; // QSizeF() would be -1 x -1: an empty stack or view takes no room
    // Text baselines from the top, NaN with no text inside: then the bottom edge stands in and
    // containers look past this view for their own. (A flag would grow every cached answer.)
    qreal firstBaseline = std::numeric_limits<qreal>::quiet_NaN();
    qreal lastBaseline = std::numeric_limits<qreal>::quiet_NaN();

    bool hasBaseline() const { return !std::isnan(firstBaseline); }
    qreal first() const { return hasBaseline() ? firstBaseline : size.height(); }
    qreal last() const { return hasBaseline() ? lastBaseline : size.height(); }
};

enum class Axis : quint8 { none, horizontal, vertical };

struct RNode {
    explicit RNode(std::pmr::memory_resource* memory) : children(memory), cache(memory) {}

    const Node* node = nullptr;
    Kind kind = Kind::empty;
    Axis axis = Axis::none; // a spacer's stack direction
    double priority = 0;
    const Inherited* inherited = nullptr;
    std::pmr::vector<RNode*> children;

    // texts and timers
    QString shownText;
    TextParams text;
    Fill foreground;

    struct Entry {
        Proposal proposal;
        Measure measure;
    };
    std::pmr::vector<Entry> cache;
};

// Items that keep their address while more are added, made in blocks that double up to 64
// items: a deque of items this large would take one heap block for each.
template <typename T>
class Pool {
public:
    Pool() = default;
    Pool(const Pool&) = delete;
    Pool& operator=(const Pool&) = delete;
    ~Pool()
    {
        for (size_t b = 0; b < blocks_.size(); ++b) {
            const size_t count = b + 1 == blocks_.size() ? used_ : blockSize(b);
            for (size_t i = count; i-- > 0;)
                std::destroy_at(std::launder(reinterpret_cast<T*>(&blocks_[b][i])));
        }
    }

    template <typename... Args>
    T& emplace_back(Args&&... args)
    {
        if (blocks_.empty() || used_ == blockSize(blocks_.size() - 1)) {
            blocks_.push_back(std::make_unique_for_overwrite<Slot[]>(blockSize(blocks_.size())));
            used_ = 0;
        }
        T* item = ::new (static_cast<void*>(&blocks_.back()[used_])) T(std::forward<Args>(args)...);
        ++used_;
        return *item;
    }

private:
    static constexpr size_t blockSize(size_t b) { return size_t(8) << std::min<size_t>(b, 3); }
    struct Slot {
        alignas(T) std::byte bytes[sizeof(T)];
    };
    std::vector<std::unique_ptr<Slot[]>> blocks_;
    size_t used_ = 0; // items made in the last block
};

// Everything a layout resolves lives as long as its tree and goes at once, so the nodes'
// small vectors come from one growing buffer instead of the heap one by one.
struct LayoutArena {
    std::pmr::monotonic_buffer_resource memory; // declared first: outlives the nodes using it
    Pool<RNode> nodes;
    Pool<Inherited> inherited;
    std::deque<View> keep; // the laid-out view and those built by readers during layout
};

// The inspection name of a node's kind ("VStack", "Text", "Circle", "padding" ...).
QString kindName(const RNode& r);
// The text as shown now (timers re-read the clock).
QString currentText(const RNode& r, const LaidOutNode& laid);
bool isTimer(const RNode& r);

} // namespace velk::view

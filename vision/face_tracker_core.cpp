#include "vision/face_tracker_core.h"

#include <dlib/image_processing/shape_predictor.h>
#include <dlib/opencv/cv_image.h>
#include <dlib/serialize.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

namespace {

struct Split
{
    std::uint32_t idx1;
    std::uint32_t idx2;
    float thresh;
};

struct Tree
{
    std::size_t firstSplit;
    std::size_t splitCount;
    // Index of its first leaf; a leaf is a whole shape change.
    std::size_t firstLeaf;
};

} // namespace

// The forests are kept packed for the fit, which walks every tree of every level each frame:
// the splits of all trees in one array, the leaves (a whole shape change each) in another, so
// the walk reads memory in order instead of chasing one small allocation per leaf.
struct face_tracker_core::Data
{
    dlib::matrix<float, 0, 1> initialShape;
    std::vector<std::vector<Tree>> forests;
    std::vector<Split> splits;
    std::vector<float> leaves;
    std::vector<std::vector<unsigned long>> anchorIndices;
    std::vector<std::vector<dlib::vector<float, 2>>> deltas;
    // The initial shape's centre and mean squared distance from it, as the least-squares
    // similarity to the current shape uses them at every level.
    dlib::vector<double, 2> initialMean;
    double initialSpread = 0.0;
};

namespace {

constexpr long kShapeValues = 2 * FaceShape::kPointCount;
// Far beyond any real model; a count above these is damage, not a bigger model.
constexpr unsigned long kMaxLevels = 1000;
constexpr unsigned long kMaxTreesPerLevel = 100000;
constexpr unsigned long kMaxSplits = 1UL << 16;
constexpr unsigned long kMaxFeaturePixels = 1UL << 20;

[[noreturn]] void fail(const std::string &what)
{
    throw dlib::serialization_error(what);
}

// dlib's primitive deserializers with counts checked against the bytes left, so a damaged
// count ends the read instead of asking for gigabytes.
class ModelReader
{
public:
    explicit ModelReader(std::istream &in)
        : in(in)
    {
        const std::streampos start = in.tellg();
        if (start != std::streampos(-1) && in.seekg(0, std::ios::end)) {
            end = in.tellg();
            in.seekg(start);
        }
        in.clear();
    }

    template<typename T> T value()
    {
        T v;
        dlib::deserialize(v, in);
        return v;
    }

    float finiteFloat()
    {
        const float v = value<float>();
        if (!std::isfinite(v))
            fail("A model value is not a finite number.");
        return v;
    }

    // Each element takes at least one byte.
    unsigned long count(unsigned long limit)
    {
        const unsigned long n = value<unsigned long>();
        if (n > limit || n > bytesLeft())
            fail("A count in the model is out of range.");
        return n;
    }

    void column(dlib::matrix<float, 0, 1> &out)
    {
        long rows = value<long>();
        long columns = value<long>();
        if (rows < 0 || columns < 0) {
            rows = -rows;
            columns = -columns;
        }
        if (rows != kShapeValues || columns != 1)
            fail("A shape in the model does not have 68 points.");
        out.set_size(rows);
        for (long i = 0; i < rows; ++i)
            out(i) = finiteFloat();
    }

    bool atEnd() { return in.peek() == std::char_traits<char>::eof(); }

private:
    unsigned long bytesLeft()
    {
        if (end == std::streampos(-1))
            return ~0UL;
        const std::streampos here = in.tellg();
        return here == std::streampos(-1) ? 0 : (unsigned long)(end - here);
    }

    std::istream &in;
    std::streampos end = std::streampos(-1);
};

bool isPowerOfTwo(size_t n)
{
    return n != 0 && (n & (n - 1)) == 0;
}

// The walk of dlib's regression tree: at each split the same test, left child 2i + 1, right
// child 2i + 2, down to a leaf; the index of that leaf among the tree's leaves. The step is
// computed, not branched on: which way a split goes is a coin toss to the processor, and
// without the branch the walks of neighbouring trees overlap.
std::size_t leafOf(const Split *splits, std::size_t count, const std::vector<float> &features)
{
    const float *f = features.data();
    std::size_t i = 0;
    while (i < count) {
        const Split &split = splits[i];
        i = 2 * i + 2 - std::size_t(f[split.idx1] - f[split.idx2] > split.thresh);
    }
    return i - count;
}

// Asks for a leaf's cache lines before they are needed: into the outer cache as soon as the
// leaf is chosen (a level's leaves fit there, and the walks of the other trees give the memory
// time to answer), into the nearest a few trees before it is added.
constexpr int kToOuterCache = 2;
constexpr int kToNearestCache = 3;
template<int Locality> void prefetchLeaf(const float *leaf)
{
    constexpr size_t kLine = 64;
    const char *bytes = reinterpret_cast<const char *>(leaf);
    for (size_t offset = 0; offset < kShapeValues * sizeof(float); offset += kLine)
        __builtin_prefetch(bytes + offset, 0, Locality);
}

// current += delta over the whole shape. dlib's own += goes one element at a time through
// its expression checks, and the fit adds a leaf per tree, thousands a frame; this adds four
// at once. Each element still sums its leaves in the same order, so the landmarks are the
// same to the last bit.
void addShapeDelta(dlib::matrix<float, 0, 1> &current, const float *in)
{
    typedef float Float4 __attribute__((vector_size(16)));
    static_assert(kShapeValues % 4 == 0, "the shape is added in fours");
    float *out = &current(0);
    for (long i = 0; i < kShapeValues; i += 4) {
        Float4 a, b;
        std::memcpy(&a, out + i, sizeof a);
        std::memcpy(&b, in + i, sizeof b);
        a += b;
        std::memcpy(out + i, &a, sizeof a);
    }
}

} // namespace

// The scale and rotation of the least-squares similarity from the initial shape to `current`
// (Umeyama's, as dlib's find_similarity_transform gives it). In the plane it needs no
// decomposition: for the covariance [[a, b], [c, d]] of the two shapes the best rotation
// scaled by the sum (or, when the covariance mirrors, the difference) of its singular values is
// [[a + d, b - c], [c - b, a + d]], whose length is that very sum or difference. dlib's SVD of
// the 2 x 2 matrix took a sixth of the fit's time; the two agree to rounding.
dlib::matrix<float, 2, 2>
face_tracker_core::similarityToInitial(const dlib::matrix<float, 0, 1> &current) const
{
    const long n = FaceShape::kPointCount;
    dlib::vector<double, 2> meanTo;
    for (long i = 0; i < n; ++i)
        meanTo += dlib::impl::location(current, i);
    meanTo /= n;
    double a = 0.0, b = 0.0, c = 0.0, d = 0.0;
    for (long i = 0; i < n; ++i) {
        const dlib::vector<double, 2> to = dlib::impl::location(current, i) - meanTo;
        const dlib::vector<double, 2> from =
            dlib::impl::location(data->initialShape, i) - data->initialMean;
        a += to.x() * from.x();
        b += to.x() * from.y();
        c += to.y() * from.x();
        d += to.y() * from.y();
    }
    double p = (a + d) / n, q = (c - b) / n;
    if (data->initialSpread != 0.0) {
        p /= data->initialSpread;
        q /= data->initialSpread;
    } else {
        // A shape without extent has no scale: the rotation alone.
        const double length = std::hypot(p, q);
        p = length > 0.0 ? p / length : 1.0;
        q = length > 0.0 ? q / length : 0.0;
    }
    dlib::matrix<float, 2, 2> m;
    m = float(p), float(-q), float(q), float(p);
    return m;
}

face_tracker_core::face_tracker_core() = default;
face_tracker_core::~face_tracker_core() = default;
face_tracker_core::face_tracker_core(face_tracker_core &&other) noexcept = default;
face_tracker_core &face_tracker_core::operator=(face_tracker_core &&other) noexcept = default;

bool face_tracker_core::isLoaded() const
{
    return data && !data->forests.empty();
}

void deserialize_face_tracker_core(face_tracker_core &model, std::istream &in)
{
    ModelReader reader(in);
    if (reader.value<int>() != 1)
        fail("Unexpected version found while deserializing face_tracker_core.");

    auto d = std::make_unique<face_tracker_core::Data>();
    reader.column(d->initialShape);

    // Read straight into the packed form: a form with an allocation per leaf would leave the
    // heap fragmented for the rest of the run.
    d->forests.resize(reader.count(kMaxLevels));
    dlib::matrix<float, 0, 1> leaf;
    for (auto &level : d->forests) {
        level.resize(reader.count(kMaxTreesPerLevel));
        for (Tree &tree : level) {
            tree.firstSplit = d->splits.size();
            tree.splitCount = reader.count(kMaxSplits);
            for (size_t i = 0; i < tree.splitCount; ++i) {
                const unsigned long idx1 = reader.value<unsigned long>();
                const unsigned long idx2 = reader.value<unsigned long>();
                if (idx1 >= kMaxFeaturePixels || idx2 >= kMaxFeaturePixels)
                    fail("A split in the model refers to a missing feature pixel.");
                d->splits.push_back(
                    {std::uint32_t(idx1), std::uint32_t(idx2), reader.finiteFloat()});
            }
            // The evaluation walks a complete binary tree: one leaf more than splits.
            const size_t leaves = reader.count(kMaxSplits + 1);
            if (leaves != tree.splitCount + 1 || !isPowerOfTwo(leaves))
                fail("A regression tree in the model is not complete.");
            tree.firstLeaf = d->leaves.size() / kShapeValues;
            for (size_t i = 0; i < leaves; ++i) {
                reader.column(leaf);
                d->leaves.insert(d->leaves.end(), &leaf(0), &leaf(0) + kShapeValues);
            }
        }
    }

    d->anchorIndices.resize(reader.count(kMaxLevels));
    for (auto &level : d->anchorIndices) {
        level.resize(reader.count(kMaxFeaturePixels));
        for (unsigned long &index : level) {
            index = reader.value<unsigned long>();
            if (index >= unsigned(FaceShape::kPointCount))
                fail("An anchor index in the model is out of range.");
        }
    }

    d->deltas.resize(reader.count(kMaxLevels));
    for (auto &level : d->deltas) {
        level.resize(reader.count(kMaxFeaturePixels));
        for (dlib::vector<float, 2> &delta : level) {
            delta.x() = reader.finiteFloat();
            delta.y() = reader.finiteFloat();
        }
    }

    if (d->forests.empty() || d->anchorIndices.size() != d->forests.size() ||
        d->deltas.size() != d->forests.size())
        fail("The cascade levels of the model do not match.");
    for (size_t level = 0; level < d->forests.size(); ++level) {
        const size_t pixels = d->deltas[level].size();
        if (d->anchorIndices[level].size() != pixels)
            fail("The feature pixels of the model do not match.");
        for (const Tree &tree : d->forests[level]) {
            for (size_t i = 0; i < tree.splitCount; ++i) {
                const Split &split = d->splits[tree.firstSplit + i];
                if (split.idx1 >= pixels || split.idx2 >= pixels)
                    fail("A split in the model refers to a missing feature pixel.");
            }
        }
    }
    if (!reader.atEnd())
        fail("The model is followed by unexpected data.");

    const long n = FaceShape::kPointCount;
    for (long i = 0; i < n; ++i)
        d->initialMean += dlib::impl::location(d->initialShape, i);
    d->initialMean /= n;
    for (long i = 0; i < n; ++i)
        d->initialSpread +=
            dlib::length_squared(dlib::impl::location(d->initialShape, i) - d->initialMean);
    d->initialSpread /= n;

    model.data = std::move(d);
}

FaceShape face_tracker_core::operator()(const cv::Mat &image, const FaceBox &box) const
{
    FaceShape shape;
    if (!isLoaded() || image.empty() || image.type() != CV_8UC1 || box.isEmpty())
        return shape;
    const dlib::cv_image<unsigned char> img(image);
    const dlib::rectangle rect(box.left, box.top, box.right, box.bottom);
    // The box's transform is the same at every level: worked out once, not once a level.
    const dlib::point_transform_affine toImage = dlib::impl::unnormalizing_tform(rect);
    const dlib::rectangle area = dlib::get_rect(img);
    dlib::matrix<float, 0, 1> current = data->initialShape;
    std::vector<float> features;
    std::vector<const float *> chosen;
    for (size_t level = 0; level < data->forests.size(); ++level) {
        // dlib's feature pixels: each reference offset turned with the shape, from its anchor
        // point, into the image; a pixel outside reads as 0.
        const dlib::matrix<float, 2, 2> turn = similarityToInitial(current);
        const std::vector<unsigned long> &anchors = data->anchorIndices[level];
        const std::vector<dlib::vector<float, 2>> &deltas = data->deltas[level];
        features.resize(deltas.size());
        for (size_t i = 0; i < deltas.size(); ++i) {
            const dlib::point p =
                toImage(turn * deltas[i] + dlib::impl::location(current, anchors[i]));
            features[i] = area.contains(p) ? float(img[p.y()][p.x()]) : 0.0f;
        }
        // A level's walks depend only on its features: find every tree's leaf first, asking for
        // it at once, then add them in tree order.
        const std::vector<Tree> &trees = data->forests[level];
        chosen.resize(trees.size());
        for (size_t t = 0; t < trees.size(); ++t) {
            const Tree &tree = trees[t];
            const std::size_t leaf =
                leafOf(data->splits.data() + tree.firstSplit, tree.splitCount, features);
            chosen[t] = data->leaves.data() + (tree.firstLeaf + leaf) * kShapeValues;
            prefetchLeaf<kToOuterCache>(chosen[t]);
        }
        constexpr size_t kAhead = 4;
        for (size_t t = 0; t < chosen.size(); ++t) {
            if (t + kAhead < chosen.size())
                prefetchLeaf<kToNearestCache>(chosen[t + kAhead]);
            addShapeDelta(current, chosen[t]);
        }
    }
    shape.box = box;
    shape.points.reserve(FaceShape::kPointCount);
    for (unsigned long i = 0; i < FaceShape::kPointCount; ++i) {
        const dlib::vector<double, 2> p = toImage(dlib::impl::location(current, i));
        // Only a point that makes sense as a pixel is kept; anything else voids the fit.
        if (!(std::abs(p.x()) < 1e7) || !(std::abs(p.y()) < 1e7)) {
            shape.points.clear();
            return shape;
        }
        shape.points.emplace_back(int(std::floor(p.x() + 0.5)), int(std::floor(p.y() + 0.5)));
    }
    return shape;
}

#pragma once

#include "graph/SampledCurve.h"

#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

namespace orvenda {

// The sequences u, v and w (tokens 0x5E80..0x5E82) term by term over ηMin..ηMax, at most
// 1000 terms, in one of five formats: time (n against the term), web (the cobweb of
// u(n+1) against u(n)), and u-v, v-w, u-w (one sequence against another). Each term is a
// sample {x, y, n}: {n, term} in time and web format, the pair's two terms otherwise; a
// trace point's t is the term number (a half step between two terms on the web).
class PlotSequence : public SampledCurve {
public:
    enum Format : int { Time = 0, Web = 1, UV = 2, VW = 3, UW = 4 };
    static constexpr std::size_t kMaxTerms = 1000;
    // Dots instead of a line.
    static constexpr int kDotStyle = 32;

    explicit PlotSequence(Calculator& calc);

    int sequenceType() const { return sequenceType_; }
    void setSequenceType(int type) { sequenceType_ = type; }

    // Nearest point (t its term number) or, on the web, nearest web line. With no point (on
    // the web fewer than two) the answer is no and pt becomes (0, 0, 0).
    bool hitPoint(PlotPoint& pt, const GraphTransform& t, double err) override;
    // The view-point distance from p to the axis-parallel segment p1–p2 (graph units).
    static double hitLine(double x1, double y1, double x2, double y2, const PlotPoint& p, const GraphTransform& t);

    // The point of term n; NaN outside the terms computed. On the web a whole n is on the
    // diagonal (u(n), u(n)), a half step on the curve (u(n), u(n+1)), and the first term
    // on the x-axis where the web starts.
    double XAtT(double n) override;
    double YAtT(double n) override;
    double ThetaAtT(double n) override { return n; }
    // Between the neighbouring terms; NaN at the first and the last and outside; 0 on the web.
    double slopeAtT(double n) override;
    double dRdThetaAtT(double) { return 0; }
    // The first and the last term number drawn (the terms are computed first when there are
    // none yet); none when no term is drawn (a fractional or negative ηMin, ηMax below it).
    std::optional<std::pair<double, double>> termSpan();

    std::optional<std::vector<std::string>> infoLines() override;
    std::optional<std::string> label() override;

    void drawWeb(const QRectF& rect, QPainter& context, const GraphTransform& t);

protected:
    void takeSamples() override;
    void drawSamples(const QRectF& rect, QPainter& context, const GraphTransform& t) override;

private:
    bool pairFormat() const { return sequenceType_ >= UV && sequenceType_ <= UW; }
    // The pair of a pair format (else the plot's own sequence twice).
    int firstToken() const;
    int secondToken() const;
    // Terms ηMin..last of a sequence into terms_; NaN for every term not produced. The
    // caller holds the state lock.
    void evaluateTerms(int token, double last);
    // The terms computed when there are none yet.
    void computeTerms();
    // The index of the term numbered n (computing the terms first when there are none), or
    // -1 outside them.
    std::ptrdiff_t termIndex(double n);
    // The web from (u0, 0), one vertical and one horizontal line per term, while fewer
    // than 2·halfSteps lines are drawn; it stops at the first point off the view's numbers.
    void addWeb(QPainterPath& path, const GraphTransform& t, double halfSteps) const;
    void drawDots(const QRectF& rect, QPainter& context, const GraphTransform& t);

    int sequenceType_ = Time;
    // The term number of the first point.
    double firstTerm_ = 0;
    std::vector<double> terms_;
    QPainterPath tracePath_;
};

} // namespace orvenda

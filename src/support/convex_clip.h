// Cutting a convex polygon by a half-space: what bounds the fragments a
// draw can reach is worked out on small polygons of fixed capacity.
#pragma once

// Keeps the part of the convex polygon `in` (`count` corners of N
// coordinates, in order around it) where plane[0]·p[0] + … + plane[N−1]·p[N−1]
// ≤ plane[N], writing its corners in the same order to `out`. Returns their
// number: 0 when nothing is kept, −1 when they would not fit in `capacity`
// (then the caller keeps the whole polygon, which holds the part). Corners on
// the plane are kept; a corner is added where an edge crosses it. A convex
// polygon gains at most one corner; rounding on a nearly flat one may add
// more.
template <int N>
int clipConvex(const double (*in)[N], int count, const double (&plane)[N + 1], double (*out)[N],
               int capacity) {
    auto excess = [&plane](const double* p) {
        double sum = -plane[N];
        for (int i = 0; i < N; ++i) {
            sum += plane[i] * p[i];
        }
        return sum;
    };
    int kept = 0;
    for (int i = 0; i < count; ++i) {
        const double* a = in[i];
        const double* b = in[(i + 1) % count];
        const double ea = excess(a);
        const double eb = excess(b);
        const bool crosses = (ea < 0.0 && eb > 0.0) || (ea > 0.0 && eb < 0.0);
        const int adds = (ea <= 0.0 ? 1 : 0) + (crosses ? 1 : 0);
        if (kept + adds > capacity) {
            return -1;
        }
        if (ea <= 0.0) {
            for (int k = 0; k < N; ++k) {
                out[kept][k] = a[k];
            }
            ++kept;
        }
        if (crosses) {
            const double t = ea / (ea - eb);
            for (int k = 0; k < N; ++k) {
                out[kept][k] = a[k] + t * (b[k] - a[k]);
            }
            ++kept;
        }
    }
    return kept;
}

#pragma once

#include <boost/math/policies/policy.hpp>

namespace orvenda {

// How the numeric library calls Boost.Math: a domain error, pole or overflow comes back as
// NaN or infinity instead of an exception (callers check ranges first and report error
// numbers); doubles are computed in double, which keeps a density well under a microsecond
// at a few ulps; discrete quantiles answer the smallest count whose cdf reaches the area.
using MathPolicy = boost::math::policies::policy<
    boost::math::policies::domain_error<boost::math::policies::ignore_error>,
    boost::math::policies::pole_error<boost::math::policies::ignore_error>,
    boost::math::policies::overflow_error<boost::math::policies::ignore_error>,
    boost::math::policies::underflow_error<boost::math::policies::ignore_error>,
    boost::math::policies::evaluation_error<boost::math::policies::ignore_error>,
    boost::math::policies::rounding_error<boost::math::policies::ignore_error>,
    boost::math::policies::promote_double<false>,
    boost::math::policies::discrete_quantile<boost::math::policies::integer_round_up>>;

} // namespace orvenda

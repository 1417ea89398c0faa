#include "apps/PolyModel.h"

#include "core/Calculator.h"
#include "core/DrawObject.h"
#include "core/VQList.h"
#include "core/VQStack.h"
#include "eval/Parser.h"
#include "eval/NumericServices.h"
#include "language/ErrorNumbers.h"
#include "numeric/PolynomialRoots.h"

#include <algorithm>
#include <cmath>

namespace orvenda {

void PolyModel::ensureLists()
{
    auto state = calc_.locked();
    auto& lists = state->lists;
    if (!lists.contains(kCoefficients)) {
        VQList coefficients;
        coefficients.addReal(0, 9, 9);
        coefficients.addReal(0, 9, 9);
        calc_.storeList(kCoefficients, coefficients);
    }
    if (!lists.contains(kZeros))
        calc_.storeList(kZeros, VQList());
}

int PolyModel::degree() const { return static_cast<int>(coefficients().size()) - 1; }

std::vector<double> PolyModel::coefficients() const
{
    const auto state = calc_.locked();
    const auto found = state->lists.find(kCoefficients);
    return found == state->lists.end() ? std::vector<double>{} : found->second.realList();
}

std::vector<std::pair<double, double>> PolyModel::zeros() const
{
    std::vector<std::pair<double, double>> all;
    const auto state = calc_.locked();
    const auto found = state->lists.find(kZeros);
    if (found == state->lists.end())
        return all;
    for (int i = 0; i < found->second.count(); ++i) {
        const auto z = found->second.complexAtIndex(i);
        all.emplace_back(z.real(), z.imag());
    }
    return all;
}

int PolyModel::setDegree(double value)
{
    // Checked before anything changes: a refused degree keeps the coefficients typed.
    if (!(value >= 1 && value < kMaxDegree + 1))
        return ErrPolyDegree;
    const int d = static_cast<int>(value);
    VQList coefficients;
    for (int i = 0; i <= d; ++i)
        coefficients.addReal(0, 9, 9);
    const auto hold = calc_.lockState();
    return calc_.storeList(kCoefficients, coefficients) ? 0 : ErrMemory;
}

void PolyModel::setCoefficient(int index, double value)
{
    auto state = calc_.locked();
    auto& list = state->lists[kCoefficients];
    if (index >= 0 && index < list.count())
        list.setReal(value, 0, 0, index);
}

void PolyModel::clearCoefficients()
{
    auto state = calc_.locked();
    auto& list = state->lists[kCoefficients];
    for (int i = 0; i < list.count(); ++i)
        list.setReal(0, 0, 0, i);
}

int PolyModel::load(const VQList& list)
{
    if (list.type() != 0 || list.count() < 2 || list.count() > kMaxDegree + 1)
        return ErrArgument;
    const auto hold = calc_.lockState();
    return calc_.storeList(kCoefficients, VQList::listWithList(list)) ? 0 : ErrMemory;
}

int PolyModel::solve()
{
    const std::vector<double> a = coefficients();
    if (a.size() < 2)
        return ErrListUndefined;
    if (a.size() > kMaxDegree + 1)
        return ErrTooManyArguments;
    if (a.front() == 0)
        return ErrPolyCoef0;
    for (double c : a)
        if (!std::isfinite(c))
            return ErrDomain;
    const auto found = PolynomialRoots::roots(a);
    if (found.empty())
        return ErrArgument;
    VQList zeros;
    for (auto z : found) {
        if (z.imag() == 0)
            zeros.addReal(z.real(), 15, -15);
        else
            zeros.addComplex(z);
    }
    const auto hold = calc_.lockState();
    return calc_.storeList(kZeros, zeros) ? 0 : ErrMemory;
}

std::shared_ptr<DrawObject> PolyModel::graph(const std::shared_ptr<DrawObject>& previous)
{
    VQList coefficients;
    {
        const auto state = calc_.locked();
        const auto found = state->lists.find(kCoefficients);
        if (found != state->lists.end())
            coefficients = found->second;
    }
    std::vector<std::uint32_t> ops = NumericServices(calc_.parser()).polynomialOps(coefficients);
    if (ops.empty())
        ops.push_back(0x30); // every coefficient 0: the line y = 0
    std::vector<std::uint32_t> expression = ops;
    auto record = std::make_shared<DrawFunc>();
    {
        const auto hold = calc_.lockState();
        Parser& parser = calc_.parser();
        parser.setError(0);
        VQStack fn = parser.getRPNfor(ops);
        const int error = parser.error();
        parser.setError(0);
        if (error != 0)
            return nullptr;
        fn.replaceVarsExcept(0x58); // X
        record->fn = std::make_shared<VQStack>(std::move(fn));
    }
    record->expression = std::move(expression);
    // Green and two points wide, as DrawF draws.
    record->r = 0;
    record->g = 1;
    record->b = 0;
    record->lineWidth = 2;
    auto& drawing = calc_.drawing;
    if (previous)
        drawing.erase(std::remove(drawing.begin(), drawing.end(), previous), drawing.end());
    drawing.push_back(record);
    calc_.showGraphView(true);
    return record;
}

int PolyModel::checkListName(const std::string& typed, std::string& name)
{
    name = typed;
    static const std::string kListPrefix = "\u029F"; // ʟ
    if (name.starts_with(kListPrefix))
        name.erase(0, kListPrefix.size());
    if (name.empty())
        return 0;
    // L₁…L₆ under their own names.
    if (name.size() == 4 && name[0] == 'L' && name.compare(1, 2, "\xE2\x82") == 0
        && static_cast<unsigned char>(name[3]) >= 0x81 && static_cast<unsigned char>(name[3]) <= 0x86)
        return 0;
    if (name.size() > 5)
        return ErrListNameBad;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        const bool letter = c >= 'A' && c <= 'Z';
        const bool digit = c >= '0' && c <= '9';
        if (!letter && !(digit && i > 0))
            return ErrListNameBad;
    }
    return 0;
}

PolyModel::SaveResult PolyModel::save(const std::string& coefName, const std::string& zeroName, double equation)
{
    std::string coef, zero;
    if (int error = checkListName(coefName, coef))
        return {error, 0};
    if (int error = checkListName(zeroName, zero))
        return {error, 1};
    if (!(equation >= 0 && equation <= 9 && equation == std::floor(equation)))
        return {ErrArgument, 2};
    VQList coefficients;
    {
        auto state = calc_.locked();
        auto& lists = state->lists;
        coefficients = VQList::listWithList(lists[kCoefficients]);
        std::vector<std::pair<std::string, VQList>> stores;
        if (!coef.empty() && coef != kCoefficients)
            stores.emplace_back(coef, coefficients);
        if (!zero.empty() && zero != kZeros)
            stores.emplace_back(zero, VQList::listWithList(lists[kZeros]));
        if (!calc_.storeLists(std::move(stores)))
            return {ErrMemory, 0};
    }
    // Y₁…Y₉ are 0x5E10…0x5E18 and Y₀ follows them.
    const int n = static_cast<int>(equation);
    const int token = n == 0 ? 0x5E19 : 0x5E10 + n - 1;
    int error = 0;
    NumericServices(calc_.parser()).polySolve(&coefficients, token, error);
    return {error, error ? 2 : 0};
}

} // namespace orvenda

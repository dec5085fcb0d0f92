#include "data/edit_history.h"

#include <cmath>
#include <unordered_map>

namespace {

bool SameFloat(float a, float b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

}  // namespace

bool EditHistory::Same(const PERF_POLAR& polar, const PolarState& state) {
    if (!SameFloat(polar.m_fWindSpeed, state.fWindSpeed) ||
        !SameFloat(polar.m_fTackingAngle, state.fTackingAngle) ||
        polar.m_aVectors.size() != state.aPoints.size()) {
        return false;
    }
    for (std::size_t i = 0; i < state.aPoints.size(); ++i) {
        if (!SameFloat(polar.m_aVectors[i]->m_fAngle, state.aPoints[i].m_fAngle) ||
            !SameFloat(polar.m_aVectors[i]->m_fSpeed, state.aPoints[i].m_fSpeed)) {
            return false;
        }
    }
    return true;
}

bool EditHistory::Same(const SAILPLAN& sailPlan, const SailPlanState& state) {
    if (sailPlan.m_strName != state.strName || sailPlan.m_aPolars.size() != state.aPolars.size()) {
        return false;
    }
    for (std::size_t i = 0; i < state.aPolars.size(); ++i) {
        if (!Same(*sailPlan.m_aPolars[i], *state.aPolars[i])) {
            return false;
        }
    }
    return true;
}

EditHistory::PolarRef EditHistory::StateOf(const PERF_POLAR& polar) {
    auto state = std::make_shared<PolarState>();
    state->fWindSpeed = polar.m_fWindSpeed;
    state->fTackingAngle = polar.m_fTackingAngle;
    state->aPoints.reserve(polar.m_aVectors.size());
    for (const auto& pVector : polar.m_aVectors) {
        state->aPoints.push_back(*pVector);
    }
    return state;
}

EditHistory::SailPlanRef EditHistory::StateOf(const SAILPLAN& sailPlan,
                                              const SailPlanState* pEarlier) {
    auto state = std::make_shared<SailPlanState>();
    state->strName = sailPlan.m_strName;
    state->aPolars.reserve(sailPlan.m_aPolars.size());
    for (std::size_t i = 0; i < sailPlan.m_aPolars.size(); ++i) {
        const PERF_POLAR& polar = *sailPlan.m_aPolars[i];
        if (pEarlier != nullptr && i < pEarlier->aPolars.size() &&
            Same(polar, *pEarlier->aPolars[i])) {
            state->aPolars.push_back(pEarlier->aPolars[i]);
        } else {
            state->aPolars.push_back(StateOf(polar));
        }
    }
    return state;
}

void EditHistory::Assign(PERF_POLAR& polar, const PolarState& state) {
    polar.m_fWindSpeed = state.fWindSpeed;
    polar.m_fTackingAngle = state.fTackingAngle;
    polar.m_aVectors.clear();
    polar.m_aVectors.reserve(state.aPoints.size());
    for (const PERF_VECTOR& v : state.aPoints) {
        polar.m_aVectors.push_back(std::make_unique<PERF_VECTOR>(v));
    }
}

std::unique_ptr<SAILPLAN> EditHistory::Build(const SailPlanState& state) {
    auto pSailPlan = std::make_unique<SAILPLAN>(state.strName);
    // The name as stored, byte for byte (SetName would apply the reader's limits).
    pSailPlan->m_strName = state.strName;
    for (const PolarRef& polar : state.aPolars) {
        auto pPolar = std::make_unique<PERF_POLAR>(polar->fWindSpeed, polar->fTackingAngle);
        Assign(*pPolar, *polar);
        pSailPlan->m_aPolars.push_back(std::move(pPolar));
    }
    return pSailPlan;
}

void EditHistory::Reset(const SailPlanArray& aSailPlans) {
    m_aSteps.clear();
    m_nPosition = 0;
    m_current.clear();
    m_current.reserve(aSailPlans.size());
    for (const auto& pSailPlan : aSailPlans) {
        m_current.push_back({StateOf(*pSailPlan, nullptr), pSailPlan.get()});
    }
}

bool EditHistory::Record(const SailPlanArray& aSailPlans, const std::unordered_set<int>& candidates,
                         Selection before, Selection after) {
    std::unordered_map<const SAILPLAN*, std::size_t> earlier;
    earlier.reserve(m_current.size());
    for (std::size_t i = 0; i < m_current.size(); ++i) {
        earlier.emplace(m_current[i].pOwner, i);
    }
    bool bListChanged = aSailPlans.size() != m_current.size();
    std::vector<Entry> next;
    next.reserve(aSailPlans.size());
    for (std::size_t i = 0; i < aSailPlans.size(); ++i) {
        const SAILPLAN& sailPlan = *aSailPlans[i];
        const auto it = earlier.find(&sailPlan);
        if (it == earlier.end()) {
            next.push_back({StateOf(sailPlan, nullptr), &sailPlan});
            bListChanged = true;
            continue;
        }
        bListChanged = bListChanged || it->second != i;
        const SailPlanRef& old = m_current[it->second].state;
        const bool bCandidate = candidates.count(static_cast<int>(i)) != 0 ||
                                candidates.count(static_cast<int>(it->second)) != 0;
        next.push_back(
            {!bCandidate || Same(sailPlan, *old) ? old : StateOf(sailPlan, old.get()), &sailPlan});
    }

    Step step;
    step.selectionBefore = before;
    step.selectionAfter = after;
    const auto makeListStep = [&] {
        step.kind = Kind::List;
        for (const Entry& e : m_current) {
            step.listBefore.push_back(e.state);
        }
        for (const Entry& e : next) {
            step.listAfter.push_back(e.state);
        }
    };
    if (bListChanged) {
        makeListStep();
    } else {
        std::vector<std::size_t> changed;
        for (std::size_t i = 0; i < next.size(); ++i) {
            if (next[i].state != m_current[i].state) {
                changed.push_back(i);
            }
        }
        if (changed.empty()) {
            return false;
        }
        if (changed.size() > 1) {
            makeListStep();
        } else {
            const std::size_t s = changed.front();
            const SailPlanState& was = *m_current[s].state;
            const SailPlanState& is = *next[s].state;
            std::vector<std::size_t> polars;
            if (was.strName == is.strName && was.aPolars.size() == is.aPolars.size()) {
                for (std::size_t p = 0; p < is.aPolars.size(); ++p) {
                    if (was.aPolars[p] != is.aPolars[p]) {
                        polars.push_back(p);
                    }
                }
            }
            step.nSailPlan = static_cast<int>(s);
            if (polars.size() == 1) {
                step.kind = Kind::Polar;
                step.nPolar = static_cast<int>(polars.front());
                step.polarBefore = was.aPolars[polars.front()];
                step.polarAfter = is.aPolars[polars.front()];
            } else {
                step.kind = Kind::SailPlan;
                step.sailPlanBefore = m_current[s].state;
                step.sailPlanAfter = next[s].state;
            }
        }
    }
    m_current = std::move(next);
    m_aSteps.resize(m_nPosition);  // a new step drops what was undone
    m_aSteps.push_back(std::move(step));
    if (m_aSteps.size() > kMaxSteps) {
        m_aSteps.erase(m_aSteps.begin());
    }
    m_nPosition = m_aSteps.size();
    return true;
}

void EditHistory::Apply(SailPlanArray& aSailPlans, const Step& step, bool bAfter) {
    switch (step.kind) {
        case Kind::Polar: {
            const auto s = static_cast<std::size_t>(step.nSailPlan);
            const auto p = static_cast<std::size_t>(step.nPolar);
            const PolarRef& target = bAfter ? step.polarAfter : step.polarBefore;
            Assign(*aSailPlans[s]->m_aPolars[p], *target);
            auto state = std::make_shared<SailPlanState>(*m_current[s].state);
            state->aPolars[p] = target;
            m_current[s].state = state;
            break;
        }
        case Kind::SailPlan: {
            const auto s = static_cast<std::size_t>(step.nSailPlan);
            const SailPlanRef& target = bAfter ? step.sailPlanAfter : step.sailPlanBefore;
            aSailPlans[s] = Build(*target);
            m_current[s] = {target, aSailPlans[s].get()};
            break;
        }
        case Kind::List: {
            const std::vector<SailPlanRef>& target = bAfter ? step.listAfter : step.listBefore;
            // Sail plans whose state is the same keep their records; the others are made anew.
            std::unordered_multimap<const SailPlanState*, std::size_t> now;
            for (std::size_t i = 0; i < m_current.size(); ++i) {
                now.emplace(m_current[i].state.get(), i);
            }
            SailPlanArray rebuilt;
            std::vector<Entry> entries;
            rebuilt.reserve(target.size());
            for (const SailPlanRef& state : target) {
                const auto it = now.find(state.get());
                if (it != now.end()) {
                    rebuilt.push_back(std::move(aSailPlans[it->second]));
                    now.erase(it);
                } else {
                    rebuilt.push_back(Build(*state));
                }
                entries.push_back({state, rebuilt.back().get()});
            }
            aSailPlans = std::move(rebuilt);
            m_current = std::move(entries);
            break;
        }
    }
}

EditHistory::Selection EditHistory::Undo(SailPlanArray& aSailPlans) {
    if (!CanUndo()) {
        return {};
    }
    --m_nPosition;
    Apply(aSailPlans, m_aSteps[m_nPosition], false);
    return m_aSteps[m_nPosition].selectionBefore;
}

EditHistory::Selection EditHistory::Redo(SailPlanArray& aSailPlans) {
    if (!CanRedo()) {
        return {};
    }
    const Step& step = m_aSteps[m_nPosition];
    ++m_nPosition;
    Apply(aSailPlans, step, true);
    return step.selectionAfter;
}

std::size_t EditHistory::Bytes() const {
    // Each state counted once, however many steps share it.
    std::unordered_set<const void*> seen;
    std::size_t nBytes = m_aSteps.capacity() * sizeof(Step);
    const auto polar = [&](const PolarRef& p) {
        if (p && seen.insert(p.get()).second) {
            nBytes += sizeof(PolarState) + p->aPoints.capacity() * sizeof(PERF_VECTOR) + 32;
        }
    };
    const auto sailPlan = [&](const SailPlanRef& s) {
        if (s && seen.insert(s.get()).second) {
            nBytes += sizeof(SailPlanState) + s->strName.capacity() +
                      s->aPolars.capacity() * sizeof(PolarRef) + 32;
            for (const PolarRef& p : s->aPolars) {
                polar(p);
            }
        }
    };
    // What the current state holds is not the history's.
    for (const Entry& e : m_current) {
        seen.insert(e.state.get());
        for (const PolarRef& p : e.state->aPolars) {
            seen.insert(p.get());
        }
    }
    for (const Step& step : m_aSteps) {
        polar(step.polarBefore);
        polar(step.polarAfter);
        sailPlan(step.sailPlanBefore);
        sailPlan(step.sailPlanAfter);
        nBytes += (step.listBefore.capacity() + step.listAfter.capacity()) * sizeof(SailPlanRef);
        for (const SailPlanRef& s : step.listBefore) {
            sailPlan(s);
        }
        for (const SailPlanRef& s : step.listAfter) {
            sailPlan(s);
        }
    }
    return nBytes;
}

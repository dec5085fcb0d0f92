#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "data/sailplan.h"

// The steps the user made to the sail plans, to take back and make again. The sail plans are
// kept as snapshots that share what a step did not change (sail plans and polars by reference),
// so that the history grows with the size of the changes, not with the size of the data.
class EditHistory {
  public:
    // Where the user was: the sail plan, the polar and the selected point (-1: none).
    struct Selection {
        int nSailPlan = 0;
        int nPolar = 0;
        int nPoint = -1;
    };

    static constexpr std::size_t kMaxSteps = 10000;

    // Starts over from these sail plans (a reading of the file): no steps.
    void Reset(const SailPlanArray& aSailPlans);

    // Records as one step what changed since the last record; false when nothing did. Only the
    // sail plans at the given indexes, and sail plans new to the history, are compared: a
    // command changes no other sail plan's content (it may add, remove or reorder them).
    // A new step drops the steps that were undone.
    bool Record(const SailPlanArray& aSailPlans, const std::unordered_set<int>& candidates,
                Selection before, Selection after);

    bool CanUndo() const { return m_nPosition > 0; }
    bool CanRedo() const { return m_nPosition < m_aSteps.size(); }
    std::size_t StepCount() const { return m_aSteps.size(); }

    // Puts the sail plans back as they were before the last step (after the next one); returns
    // where the user was then. Pointers into changed records die.
    Selection Undo(SailPlanArray& aSailPlans);
    Selection Redo(SailPlanArray& aSailPlans);

    // The memory the steps hold beyond the current state, in bytes (an estimate).
    std::size_t Bytes() const;

  private:
    struct PolarState {
        float fWindSpeed;
        float fTackingAngle;
        std::vector<PERF_VECTOR> aPoints;
    };
    using PolarRef = std::shared_ptr<const PolarState>;
    struct SailPlanState {
        std::string strName;
        std::vector<PolarRef> aPolars;
    };
    using SailPlanRef = std::shared_ptr<const SailPlanState>;
    struct Entry {
        SailPlanRef state;
        const SAILPLAN* pOwner;
    };
    enum class Kind { Polar, SailPlan, List };
    struct Step {
        Kind kind;
        int nSailPlan = 0;
        int nPolar = 0;
        PolarRef polarBefore, polarAfter;
        SailPlanRef sailPlanBefore, sailPlanAfter;
        std::vector<SailPlanRef> listBefore, listAfter;
        Selection selectionBefore, selectionAfter;
    };

    static bool Same(const PERF_POLAR& polar, const PolarState& state);
    static bool Same(const SAILPLAN& sailPlan, const SailPlanState& state);
    static PolarRef StateOf(const PERF_POLAR& polar);
    // The sail plan's state, sharing the polars that did not change with the earlier state.
    static SailPlanRef StateOf(const SAILPLAN& sailPlan, const SailPlanState* pEarlier);
    static void Assign(PERF_POLAR& polar, const PolarState& state);
    static std::unique_ptr<SAILPLAN> Build(const SailPlanState& state);
    void Apply(SailPlanArray& aSailPlans, const Step& step, bool bAfter);

    std::vector<Entry> m_current;
    std::vector<Step> m_aSteps;
    std::size_t m_nPosition = 0;
};

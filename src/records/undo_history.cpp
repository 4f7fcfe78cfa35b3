#include "records/undo_history.h"

#include <algorithm>
#include <utility>

namespace rvk {

namespace {

// The record's fields besides the planes that an edit may change and Undo restores.
// Zoom2Modified and Zoom2Path also change by saving, outside the history, and are
// restored by their own rule.
template <class F>
void ForEachField(F&& f) {
    f(&VehicleRec::Length);
    f(&VehicleRec::HeightS);
    f(&VehicleRec::Width);
    f(&VehicleRec::HeightF);
    f(&VehicleRec::Props);
    f(&VehicleRec::SteamCount);
    f(&VehicleRec::Steam);
    f(&VehicleRec::Info);
    f(&VehicleRec::Zoom2Exists);
    f(&VehicleRec::Zoom2HeightS);
    f(&VehicleRec::Zoom2Width);
    f(&VehicleRec::Zoom2HeightF);
    f(&VehicleRec::Zoom2Info);
}

bool FieldsDiffer(const VehicleRec& a, const VehicleRec& b) {
    bool differ = a.Zoom2Modified != b.Zoom2Modified || a.Zoom2Path != b.Zoom2Path;
    ForEachField([&](auto member) { differ = differ || !(a.*member == b.*member); });
    return differ;
}

// Whether the companion file holds something that differs between a and b: its length,
// its number of views, the Zoom2 sizes and info.
bool CompanionFieldsDiffer(const VehicleRec& a, const VehicleRec& b) {
    return a.Length != b.Length || a.viewCount() != b.viewCount() ||
           a.Zoom2Exists != b.Zoom2Exists || a.Zoom2HeightS != b.Zoom2HeightS ||
           a.Zoom2Width != b.Zoom2Width || a.Zoom2HeightF != b.Zoom2HeightF ||
           a.Zoom2Info != b.Zoom2Info;
}

// A record holding only the fields: its planes stay unallocated.
std::unique_ptr<VehicleRec> FieldsOf(const VehicleRec& rec) {
    auto fields = std::make_unique<VehicleRec>();
    ForEachField([&](auto member) { (*fields).*member = rec.*member; });
    fields->Zoom2Modified = rec.Zoom2Modified;
    fields->Zoom2Path = rec.Zoom2Path;
    return fields;
}

std::size_t FieldBytes(const VehicleRec& fields) {
    std::size_t bytes = sizeof(VehicleRec) + fields.Zoom2Info.capacity() + fields.Zoom2Path.capacity();
    for (const std::string& info : fields.Info) bytes += info.capacity();
    return bytes;
}

}  // namespace

struct UndoHistory::Patch {
    bool zoom2 = false;
    int view = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    std::vector<PixelValue> before;
    std::vector<PixelValue> after;
};

struct UndoHistory::Step {
    int name = 0;
    std::vector<Patch> patches;
    std::unique_ptr<VehicleRec> fieldsBefore;  // both set, or neither
    std::unique_ptr<VehicleRec> fieldsAfter;
    std::size_t bytes = 0;
};

namespace {

// The rectangle around the pixels in which two planes of one size differ, with its
// contents in each; nothing when they are equal.
template <class Patch>
std::optional<Patch> PatchOf(const Plane& before, const Plane& after) {
    const int w = after.width();
    const PixelValue* a = before.data();
    const PixelValue* b = after.data();
    int x1 = w, y1 = after.height(), x2 = -1, y2 = -1;
    for (int y = 0; y < after.height(); ++y) {
        const PixelValue* ra = a + std::size_t{static_cast<std::size_t>(y)} * w;
        const PixelValue* rb = b + std::size_t{static_cast<std::size_t>(y)} * w;
        const auto [first, other] = std::mismatch(ra, ra + w, rb);
        if (first == ra + w) continue;
        int last = w - 1;
        while (ra[last] == rb[last]) --last;
        x1 = std::min(x1, static_cast<int>(first - ra));
        x2 = std::max(x2, last);
        y1 = std::min(y1, y);
        y2 = y;
    }
    if (x2 < 0) return std::nullopt;
    Patch patch;
    patch.x = x1;
    patch.y = y1;
    patch.width = x2 - x1 + 1;
    patch.height = y2 - y1 + 1;
    for (int y = y1; y <= y2; ++y) {
        const std::size_t row = static_cast<std::size_t>(y) * w;
        patch.before.insert(patch.before.end(), a + row + x1, a + row + x2 + 1);
        patch.after.insert(patch.after.end(), b + row + x1, b + row + x2 + 1);
    }
    return patch;
}

}  // namespace

UndoHistory::UndoHistory(int maxSteps, std::size_t budget) : maxSteps_(1), budget_(budget) {
    SetLimits(maxSteps, budget);
}

UndoHistory::~UndoHistory() = default;

void UndoHistory::SetLimits(int maxSteps, std::size_t budget) {
    maxSteps_ = std::max(1, maxSteps);
    budget_ = budget;
    trim();
}

void UndoHistory::Begin(const VehicleRec& rec, int name) {
    if (pending_) {
        if (pendingName_ == name) return;
        Commit(rec);
    }
    pending_ = std::make_unique<VehicleRec>(rec);
    pendingName_ = name;
}

bool UndoHistory::Commit(const VehicleRec& rec) {
    if (!pending_) return false;
    const std::unique_ptr<VehicleRec> before = std::move(pending_);
    auto step = std::make_unique<Step>();
    step->name = pendingName_;
    step->bytes = sizeof(Step);
    for (const bool zoom2 : {false, true})
        for (int v = 0; v < kViewCount; ++v) {
            const Plane& was = (zoom2 ? before->Zoom2Planes : before->Planes)[v];
            const Plane& now = (zoom2 ? rec.Zoom2Planes : rec.Planes)[v];
            if (std::optional<Patch> patch = PatchOf<Patch>(was, now)) {
                patch->zoom2 = zoom2;
                patch->view = v;
                step->bytes += sizeof(Patch) + 2 * patch->after.size() * sizeof(PixelValue);
                step->patches.push_back(std::move(*patch));
            }
        }
    if (FieldsDiffer(*before, rec)) {
        step->fieldsBefore = FieldsOf(*before);
        step->fieldsAfter = FieldsOf(rec);
        step->bytes += FieldBytes(*step->fieldsBefore) + FieldBytes(*step->fieldsAfter);
    }
    if (step->patches.empty() && !step->fieldsBefore) return false;

    while (steps_.size() > applied_) {
        used_ -= steps_.back()->bytes;
        steps_.pop_back();
    }
    used_ += step->bytes;
    steps_.push_back(std::move(step));
    applied_ = steps_.size();
    trim();
    return true;
}

bool UndoHistory::Undo(VehicleRec& rec) {
    Commit(rec);
    if (applied_ == 0) return false;
    apply(rec, *steps_[--applied_], false);
    return true;
}

bool UndoHistory::Redo(VehicleRec& rec) {
    Commit(rec);
    if (applied_ == steps_.size()) return false;
    apply(rec, *steps_[applied_++], true);
    return true;
}

void UndoHistory::ClearHistory() {
    steps_.clear();
    applied_ = 0;
    used_ = 0;
    pending_.reset();
}

int UndoHistory::UndoName() const {
    return applied_ > 0 ? steps_[applied_ - 1]->name : 0;
}

int UndoHistory::RedoName() const {
    return applied_ < steps_.size() ? steps_[applied_]->name : 0;
}

void UndoHistory::apply(VehicleRec& rec, const Step& step, bool forward) const {
    bool zoom2Pixels = false;
    for (const Patch& patch : step.patches) {
        Plane& plane = (patch.zoom2 ? rec.Zoom2Planes : rec.Planes)[patch.view];
        const std::vector<PixelValue>& values = forward ? patch.after : patch.before;
        for (int y = 0; y < patch.height; ++y)
            for (int x = 0; x < patch.width; ++x)
                plane.set(patch.x + x, patch.y + y, values[std::size_t(y) * patch.width + x]);
        zoom2Pixels = zoom2Pixels || patch.zoom2;
    }
    if (!step.fieldsBefore) {
        // The step left Zoom2Modified as it was, set by any edit of the Zoom2 planes: a
        // save since cleared it, and the companion file is to be written again.
        if (zoom2Pixels) rec.Zoom2Modified = true;
        return;
    }
    const VehicleRec& from = forward ? *step.fieldsBefore : *step.fieldsAfter;
    const VehicleRec& to = forward ? *step.fieldsAfter : *step.fieldsBefore;
    ForEachField([&](auto member) {
        if (!(from.*member == to.*member)) rec.*member = to.*member;
    });
    // Without a save since the step, the companion file's state comes back exactly. A
    // save since then wrote the file and took its path: the path stays, and a file that
    // now holds something else is written again.
    if (rec.Zoom2Modified == from.Zoom2Modified && rec.Zoom2Path == from.Zoom2Path) {
        rec.Zoom2Modified = to.Zoom2Modified;
        rec.Zoom2Path = to.Zoom2Path;
    } else if (zoom2Pixels || CompanionFieldsDiffer(from, to)) {
        rec.Zoom2Modified = true;
    }
}

void UndoHistory::trim() {
    while (!steps_.empty() &&
           (steps_.size() > static_cast<std::size_t>(maxSteps_) ||
            (used_ > budget_ && steps_.size() > 1))) {
        used_ -= steps_.front()->bytes;
        steps_.pop_front();
        if (applied_ > 0) --applied_;
    }
}

}  // namespace rvk

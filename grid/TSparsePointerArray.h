#pragma once

#include <algorithm>
#include <map>
#include <vector>

// Sparse index -> value storage: only written slots cost memory, so a grid with
// long empty stretches (or texts kept beyond a lowered count) stays cheap.
template <typename T> class TSparsePointerArray
{
public:
    const T *Find(int index) const
    {
        auto it = m_items.find(index);
        return it == m_items.end() ? nullptr : &it->second;
    }
    T *Find(int index)
    {
        auto it = m_items.find(index);
        return it == m_items.end() ? nullptr : &it->second;
    }
    T &Ensure(int index) { return m_items[index]; }
    void Remove(int index) { m_items.erase(index); }
    void Clear() { m_items.clear(); }
    bool IsEmpty() const { return m_items.empty(); }
    int HighBound() const { return m_items.empty() ? -1 : m_items.rbegin()->first; }

    // Moves slot `from` to `to`, shifting the slots between by one toward `from`.
    void Move(int from, int to)
    {
        if (from == to)
            return;
        const int low = std::min(from, to);
        const int high = std::max(from, to);
        std::vector<std::pair<int, T>> taken;
        for (auto it = m_items.lower_bound(low); it != m_items.end() && it->first <= high;) {
            taken.emplace_back(it->first, std::move(it->second));
            it = m_items.erase(it);
        }
        for (auto &[index, value] : taken) {
            int target = index;
            if (index == from)
                target = to;
            else if (from < to)
                target = index - 1;
            else
                target = index + 1;
            m_items.emplace(target, std::move(value));
        }
    }

    // Removes slot `index` and shifts every later slot down by one.
    void DeleteAndShift(int index)
    {
        const int high = HighBound();
        if (high < index)
            return;
        m_items.erase(index);
        Move(index, high);
        m_items.erase(high);
    }

    template <typename F> void ForEach(F &&visit) const
    {
        for (const auto &[index, value] : m_items)
            visit(index, value);
    }

    template <typename F> void ForEachMutable(F &&visit)
    {
        for (auto &[index, value] : m_items)
            visit(index, value);
    }

private:
    std::map<int, T> m_items;
};

// Listeners as pairs of a plain function and an untyped user-data pointer, called in the order
// they were added. A pair is held once. A listener may add or remove listeners (itself included)
// while the list is being called: the call walks the pairs as they were when it began and skips
// any removed meanwhile, so none is called after its removal or twice.
#ifndef OIVWINTAV_OIVLISTENERLIST_H
#define OIVWINTAV_OIVLISTENERLIST_H

#include <algorithm>
#include <utility>
#include <vector>

template <typename Function> class OivListenerList {
public:
    // Adds the pair unless it is held already; a null function is not added.
    void add(Function* function, void* userData) {
        if (function && !holds(Pair(function, userData)))
            m_Pairs.emplace_back(function, userData);
    }

    void remove(Function* function, void* userData) {
        m_Pairs.erase(std::remove(m_Pairs.begin(), m_Pairs.end(), Pair(function, userData)),
                      m_Pairs.end());
    }

    bool empty() const { return m_Pairs.empty(); }

    // Calls function(userData, arguments...) for each pair.
    template <typename... Arguments> void call(Arguments... arguments) const {
        const std::vector<Pair> pairs = m_Pairs;
        for (const Pair& pair : pairs)
            if (holds(pair))
                pair.first(pair.second, arguments...);
    }

private:
    typedef std::pair<Function*, void*> Pair;

    bool holds(const Pair& pair) const {
        return std::find(m_Pairs.begin(), m_Pairs.end(), pair) != m_Pairs.end();
    }

    std::vector<Pair> m_Pairs;
};

#endif // OIVWINTAV_OIVLISTENERLIST_H

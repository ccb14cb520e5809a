// What the stand-in DLLs share for their state: a critical section with its scoped guard, and a
// queue of scripted codes, each for one command.
#pragma once

#include <windows.h>

#include <deque>
#include <utility>

class StandinLock
{
public:
    StandinLock() { ::InitializeCriticalSection(&m_section); }
    ~StandinLock() { ::DeleteCriticalSection(&m_section); }
    void Enter() { ::EnterCriticalSection(&m_section); }
    void Leave() { ::LeaveCriticalSection(&m_section); }

private:
    StandinLock(const StandinLock&) = delete;
    void operator=(const StandinLock&) = delete;

    CRITICAL_SECTION m_section;
};

class StandinGuard
{
public:
    explicit StandinGuard(StandinLock& lock) : m_lock(lock) { m_lock.Enter(); }
    ~StandinGuard() { m_lock.Leave(); }

private:
    StandinGuard(const StandinGuard&) = delete;
    void operator=(const StandinGuard&) = delete;

    StandinLock& m_lock;
};

// Codes queued by a script, each for one command, taken in the order they were queued. The owner
// guards it.
class ScriptedCodes
{
public:
    void Push(WORD wCmd, BYTE byCode) { m_codes.emplace_back(wCmd, byCode); }
    // Takes the first code queued for wCmd, if there is one.
    bool Take(WORD wCmd, BYTE* pCode)
    {
        for (auto it = m_codes.begin(); it != m_codes.end(); ++it)
        {
            if (it->first == wCmd)
            {
                *pCode = it->second;
                m_codes.erase(it);
                return true;
            }
        }
        return false;
    }
    void Clear() { m_codes.clear(); }

private:
    std::deque<std::pair<WORD, BYTE>> m_codes;
};

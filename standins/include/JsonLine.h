// Builds one JSON object on one line, as the stand-in host reports its events.
#pragma once

#include <stdio.h>
#include <string>
#include <vector>

class JsonLine
{
public:
    // An object without an event name.
    JsonLine() = default;
    explicit JsonLine(const char* pszEvent) { Add("ev", pszEvent); }

    JsonLine& Add(const char* pszKey, const char* pszValue)
    {
        Key(pszKey);
        Quote(pszValue);
        return *this;
    }
    JsonLine& Add(const char* pszKey, const std::string& value)
    {
        return Add(pszKey, value.c_str());
    }
    JsonLine& Add(const char* pszKey, long long nValue)
    {
        Key(pszKey);
        m_text += std::to_string(nValue);
        return *this;
    }
    JsonLine& Add(const char* pszKey, int nValue)
    {
        return Add(pszKey, static_cast<long long>(nValue));
    }
    JsonLine& Add(const char* pszKey, unsigned nValue)
    {
        return Add(pszKey, static_cast<long long>(nValue));
    }
    JsonLine& AddBool(const char* pszKey, bool bValue)
    {
        Key(pszKey);
        m_text += bValue ? "true" : "false";
        return *this;
    }
    // Inserts an already formed JSON value (an array or object).
    JsonLine& AddRaw(const char* pszKey, const std::string& json)
    {
        Key(pszKey);
        m_text += json;
        return *this;
    }
    JsonLine& AddHex(const char* pszKey, const unsigned char* pData, size_t nLength)
    {
        std::string hex;
        for (size_t i = 0; i < nLength; i++)
        {
            char sz[3];
            snprintf(sz, sizeof sz, "%02x", pData[i]);
            hex += sz;
        }
        return Add(pszKey, hex);
    }

    std::string Str() const { return m_text + "}"; }

    // A JSON string literal of UTF-8 text.
    static std::string QuoteText(const char* pszText)
    {
        std::string out = "\"";
        for (const unsigned char* p = reinterpret_cast<const unsigned char*>(pszText); *p; ++p)
        {
            if (*p == '"' || *p == '\\')
            {
                out += '\\';
                out += static_cast<char>(*p);
            }
            else if (*p < 0x20)
            {
                char sz[8];
                snprintf(sz, sizeof sz, "\\u%04x", *p);
                out += sz;
            }
            else
                out += static_cast<char>(*p);
        }
        return out + "\"";
    }

private:
    void Key(const char* pszKey)
    {
        m_text += m_text.size() > 1 ? ",\"" : "\"";
        m_text += pszKey;
        m_text += "\":";
    }
    void Quote(const char* pszText) { m_text += QuoteText(pszText); }

    std::string m_text = "{";
};

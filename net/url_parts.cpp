// URL parts: where each part begins and ends.
#include "net/url_parts.h"

#include "runtime/strings.h"

namespace {

constexpr std::size_t npos = std::string_view::npos;

struct Span {
  std::size_t start = npos, end = npos;
  bool present() const { return start != npos; }
};

struct UrlLayout {
  std::string_view url;
  std::size_t after_scheme = npos;  // just after the first "://"
  std::size_t at_sign = npos;       // the first "@" after it
  std::size_t host_start = npos;

  explicit UrlLayout(std::string_view text) : url(text) {
    std::size_t scheme_end = url.find("://");
    if (scheme_end == npos) return;
    after_scheme = scheme_end + 3;
    at_sign = url.find('@', after_scheme);
    host_start = at_sign != npos ? at_sign + 1 : after_scheme;
  }
  std::size_t end_or_length(std::size_t position) const {
    return position == npos ? url.size() : position;
  }

  Span scheme() const { return after_scheme == npos ? Span{} : Span{0, after_scheme - 3}; }
  Span user() const {
    if (after_scheme == npos || at_sign == npos) return {};
    std::size_t colon = url.find(':', after_scheme);
    return Span{after_scheme, colon != npos && colon < at_sign ? colon : at_sign};
  }
  Span password() const {
    if (after_scheme == npos || at_sign == npos) return {};
    std::size_t colon = url.find(':', after_scheme);
    if (colon == npos || colon >= at_sign) return {};
    return Span{colon + 1, at_sign};
  }
  Span host() const {
    if (after_scheme == npos) return {};
    std::size_t colon = url.find(':', host_start), slash = url.find('/', host_start);
    std::size_t end =
        colon != npos ? (slash != npos && slash < colon ? slash : colon) : end_or_length(slash);
    return Span{host_start, end};
  }
  Span port() const {
    if (after_scheme == npos) return {};
    std::size_t colon = url.find(':', host_start);
    if (colon == npos) return {};
    return Span{colon + 1, end_or_length(url.find('/', colon + 1))};
  }
  Span path() const {
    if (after_scheme == npos) return {};
    std::size_t slash = url.find('/', after_scheme);
    if (slash == npos) return {};
    return Span{slash + 1, end_or_length(url.find('?', slash + 1))};
  }
  Span parameters() const {
    std::size_t question = url.find('?');
    if (question == npos) return {};
    return Span{question + 1, end_or_length(url.find('#', question + 1))};
  }
  Span anchor() const {
    std::size_t hash = url.find('#');
    return hash == npos ? Span{} : Span{hash + 1, url.size()};
  }
  Span parameter(std::string_view name) const {
    std::size_t question = url.find('?');
    if (question == npos) return {};
    std::size_t position = question + 1;
    while (position < url.size() && url[position] == '&') ++position;
    while (true) {
      std::size_t equals = url.find('=', position);
      if (equals == npos) return {};
      const std::size_t value_start = equals + 1;
      const bool found = ascii_equal_nocase(url.substr(position, equals - position), name);
      std::size_t ampersand = url.find('&', value_start);
      if (ampersand == npos)
        return found ? Span{value_start, end_or_length(url.find('#', value_start))} : Span{};
      if (found) return Span{value_start, ampersand};
      position = ampersand + 1;
      while (position < url.size() && url[position] == '&') ++position;
    }
  }

  Span part(std::string_view selector) const {
    if (selector == URL_SCHEME) return scheme();
    if (selector == URL_USER) return user();
    if (selector == URL_PASSWORD) return password();
    if (selector == URL_HOST) return host();
    if (selector == URL_PORT) return port();
    if (selector == URL_PATH) return path();
    if (selector == URL_PARAMETERS) return parameters();
    if (selector == URL_ANCHOR) return anchor();
    return parameter(selector);
  }
};

std::string inserted(std::string_view url, std::size_t at, std::string_view text) {
  std::string out(url.substr(0, at));
  out += text;
  out += url.substr(at);
  return out;
}

// "&name=value" or "?name=value".
std::string parameter_text(char lead, std::string_view name, const std::string& value) {
  std::string text(1, lead);
  text.append(name);
  text.push_back('=');
  text.append(value);
  return text;
}

// Where an absent part goes and what text goes there; false when it cannot be placed.
bool insertion_for(const UrlLayout& layout, std::string_view selector, std::string_view value,
                   std::size_t* at, std::string* text) {
  const std::string value_text(value);
  if (selector == URL_SCHEME) {
    *at = 0;
    *text = value_text;
    return true;
  }
  if (selector == URL_HOST) return false;
  if (selector == URL_USER) {
    *at = layout.host_start;
    *text = value_text + "@";
    return layout.host_start != npos;
  }
  if (selector == URL_PASSWORD) {
    Span user = layout.user();
    *at = user.end;
    *text = ":" + value_text;
    return user.present();
  }
  if (selector == URL_PORT || selector == URL_PATH) {
    Span host = layout.host();
    *at = host.end;
    *text = (selector == URL_PORT ? ":" : "/") + value_text;
    return host.present();
  }
  if (selector == URL_PARAMETERS) {
    Span path = layout.path();
    *at = path.end;
    *text = "?" + value_text;
    return path.present();
  }
  if (selector == URL_ANCHOR) {
    Span parameters = layout.parameters(), path = layout.path();
    *at = parameters.present() ? parameters.end : path.end;
    *text = "#" + value_text;
    return parameters.present() || path.present();
  }
  Span parameters = layout.parameters();
  if (parameters.present()) {
    *at = parameters.end;
    *text = parameter_text('&', selector, value_text);
    return true;
  }
  Span path = layout.path();
  *at = path.end;
  *text = parameter_text('?', selector, value_text);
  return path.present();
}

}  // namespace

std::string url_part(std::string_view url, std::string_view selector) {
  const UrlLayout layout(url);
  const Span span = layout.part(selector);
  return span.present() ? std::string(url.substr(span.start, span.end - span.start))
                        : std::string();
}

std::string url_set_part(std::string_view url, std::string_view selector, std::string_view value) {
  const UrlLayout layout(url);
  const Span span = layout.part(selector);
  if (span.present()) {
    std::string out(url.substr(0, span.start));
    out += value;
    out += url.substr(span.end);
    return out;
  }
  std::size_t at = 0;
  std::string text;
  if (!insertion_for(layout, selector, value, &at, &text)) return {};
  return inserted(url, at, text);
}

std::string url_split(std::string_view url, UrlRequest request) {
  const UrlLayout layout(url);
  Span span;
  switch (request) {
    case UrlRequest::Host:
      span = layout.host();
      break;
    case UrlRequest::Port:
      span = layout.port();
      break;
    case UrlRequest::Path:
      span = layout.path();
      break;
    case UrlRequest::Target:
      span = layout.path();
      if (span.present()) span.end = url.size();
      break;
  }
  return span.present() ? std::string(url.substr(span.start, span.end - span.start))
                        : std::string();
}

#pragma once
// The demo catalogue behind the routes, answering exactly as the client's tests expect.

#include "tools/song-service/Catalogue.h"
#include "tools/song-service/SongSource.h"

namespace songservice {

class CatalogueSource : public SongSource {
 public:
  explicit CatalogueSource(Catalogue catalogue) : catalogue_(std::move(catalogue)) {}

  std::string searchAnswer(std::string_view keyword, const std::string& client) override;
  std::optional<std::string> linksAnswer(std::string_view key, const std::string& client,
                                         std::string_view host, bool withoutUrl) override;
  std::string pictureAnswer(std::string_view singer, std::string_view host) override;
  std::optional<MediaBody> media(std::string_view name) override;
  std::optional<MediaBody> picture(std::string_view name) override;

 private:
  const Catalogue catalogue_;
};

}  // namespace songservice

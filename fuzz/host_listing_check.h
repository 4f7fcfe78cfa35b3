// What the catalogue and archive targets share: a sound half for the input and the
// checks of a listing.
#pragma once

#include <cstdint>
#include <span>

#include "formats/byte_io.h"
#include "formats/plane_codec.h"
#include "formats/zoom2_codec.h"
#include "fuzz_check.h"
#include "host/host_catalogue.h"
#include "host_fixture.h"

namespace rvk::fuzz {

// The small installation of the tests: its texts, and the sound half of each input.
inline const rvk::hostfixture::Installation& Small() {
    static const rvk::hostfixture::Installation installation =
        rvk::hostfixture::SmallInstallation();
    return installation;
}

// Reads a catalogue with an archive and checks every listed vehicle.
inline void CheckListing(std::span<const std::uint8_t> catalogue,
                         std::span<const std::uint8_t> archive) {
    static const rvk::HostTextTable texts =
        rvk::HostTextTable::Parse(Small().files.at("vuvi_en.lnv"));
    rvk::HostFile fzg(catalogue), fz2(archive);
    const auto sets =
        rvk::ReadCatalogue(fzg, &fz2, 0xFFFFFFFF, texts, rvk::HostNameLessIgnoringCase);
    for (const rvk::HostSet& set : sets) {
        Check(set.number >= rvk::kFirstHostSet && set.name.size() <= 32);
        for (const rvk::HostVehicle& v : set.vehicles) {
            Check(rvk::SizesFit(v.data));
            rvk::VehicleRec rec = v.data;
            rvk::ByteReader planes(v.planes);
            Check(rvk::DecodeVehiclePlanes(planes, rec) && planes.atEnd());
            Check(v.data.Zoom2Exists == !v.zoom2.empty());
            if (!v.zoom2.empty()) {
                rec.Zoom2Exists = false;
                std::size_t used = 0;
                Check(rvk::DecodeZoom2(rec, v.zoom2, &used) == rvk::kZoom2Ok &&
                      used == v.zoom2.size());
                Check(rec.Zoom2Info == v.data.Zoom2Info && rec.Zoom2Width == v.data.Zoom2Width);
            }
        }
    }
}

}  // namespace rvk::fuzz

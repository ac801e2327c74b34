-- The wrk script of scripts/load.sh: every request issues one serial number
-- with saving (POST /v1/items/ITEM/serials with the bearer token), and each
-- thread writes the serial number of every answer, or "failed STATUS", to a
-- file of its own for the duplicate check.
--
--   wrk ... -s scripts/load.lua URL -- FOLDER TOKEN ITEM

local threads = 0

function setup(thread)
  threads = threads + 1
  thread:set("id", threads)
end

function init(args)
  folder = args[1]
  wrk.method = "POST"
  wrk.path = "/v1/items/" .. args[3] .. "/serials"
  wrk.headers["Content-Type"] = "application/json"
  wrk.headers["Authorization"] = "Bearer " .. args[2]
  wrk.body = '{"save":true}'
end

function response(status, headers, body)
  if not out then
    out = io.open(folder .. "/serials-" .. id .. ".txt", "w")
    out:setvbuf("line")
  end
  local serial = body:match('"serial_numbers":%["([^"]+)"%]')
  if status ~= 200 or not serial then serial = "failed " .. status end
  out:write(serial, "\n")
end

-- One line for the script: requests, requests per second, p50 and p99 in
-- milliseconds, answers with a status above 399, socket errors.
function done(summary, latency, requests)
  local errors = summary.errors
  io.write(string.format("result %d %.1f %.2f %.2f %d %d\n", summary.requests,
    summary.requests / summary.duration * 1e6, latency:percentile(50) / 1000,
    latency:percentile(99) / 1000, errors.status,
    errors.connect + errors.read + errors.write + errors.timeout))
end

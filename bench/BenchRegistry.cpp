#include "bench/BenchRegistry.h"

#include <exception>

namespace vorn::bench {

benchmark::internal::Benchmark* RegisterGuarded(const std::string& Name,
                                                std::function<void(benchmark::State&)> Body) {
    return benchmark::RegisterBenchmark(Name.c_str(),
                                        [Body = std::move(Body)](benchmark::State& State) {
                                            try {
                                                Body(State);
                                            } catch (const std::exception& Error) {
                                                State.SkipWithError(Error.what());
                                            }
                                        });
}

} // namespace vorn::bench
